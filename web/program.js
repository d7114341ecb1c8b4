// The program under a small WASI of its own: fd_read, fd_write and
// proc_exit, and nothing else. Owns the instance, its memory and its
// Asyncify state. A page cannot block, so the program is built with
// binaryen's Asyncify: where its read finds no line yet, it unwinds its
// stack and `run` returns; the next `run` rewinds it into the same read.
// It knows nothing of the terminal: its input and output are the `io`
// given to it.

const ERRNO_BADF = 8;
const ERRNO_NOSYS = 52;
const exited = Symbol("exited");
// What `io.input()` returns when no line is there yet.
export const kWait = Symbol("wait");

export class Program {
  // `io.input()` gives the next line's bytes, null at the end of the input
  // or kWait; `io.output(bytes)` takes what the program writes, and
  // `io.error(bytes)` its standard error.
  static async start(module, io) {
    const program = new Program(io);
    const imports = { ...program.wasi() };
    // Whatever else the C library might ask for is not there.
    for (const { module: from, name } of WebAssembly.Module.imports(module)) {
      if (from === "wasi_snapshot_preview1" && !(name in imports)) {
        imports[name] = () => ERRNO_NOSYS;
      }
    }
    const instance = await WebAssembly.instantiate(module, { wasi_snapshot_preview1: imports });
    program.calls = instance.exports;
    program.stack = program.calls.molagirlik_suspended_stack();
    return program;
  }

  constructor(io) {
    this.io = io;
    this.calls = null;
    this.stack = 0;
    this.view = null;
    this.reading = null;   // the rest of the line the program is reading
    this.started = false;
    this.status = null;    // the exit status, once it has ended
  }

  // Runs the program, from its start or from the read that waited, until
  // it waits again (returns false) or ends (returns true). A trap throws.
  run() {
    try {
      if (this.started) this.calls.asyncify_start_rewind(this.stack);
      this.started = true;
      this.calls._start();
    } catch (error) {
      if (error !== exited) throw error;
    }
    if (this.calls.asyncify_get_state() === 1) {
      this.calls.asyncify_stop_unwind();
      return false;
    }
    this.status ??= 0;
    return true;
  }

  // The program's memory, as bytes `at` and as a DataView, made again only
  // when the memory has grown.
  memory() {
    const buffer = this.calls.memory.buffer;
    if (this.view?.buffer !== buffer) this.view = new DataView(buffer);
    return this.view;
  }

  wasi() {
    // The buffers of an iovec array, one by one.
    const each_buffer = (pointer, count, use) => {
      const view = this.memory();
      for (let i = 0; i < count; ++i) {
        use(new Uint8Array(view.buffer, view.getUint32(pointer + 8 * i, true),
          view.getUint32(pointer + 8 * i + 4, true)));
      }
    };
    return {
      fd_read: (fd, pointer, count, done) => {
        if (fd !== 0) return ERRNO_BADF;
        // A read that waited is called again as the program is rewound.
        if (this.calls.asyncify_get_state() === 2) this.calls.asyncify_stop_rewind();
        if (this.reading === null) {
          const line = this.io.input();
          if (line === kWait) {
            this.calls.asyncify_start_unwind(this.stack);
            return 0;
          }
          this.reading = line;
        }
        let moved = 0;
        if (this.reading) {
          each_buffer(pointer, count, (buffer) => {
            const part = this.reading.subarray(0, buffer.length);
            buffer.set(part);
            this.reading = this.reading.subarray(part.length);
            moved += part.length;
          });
          if (this.reading.length === 0) this.reading = null;
        }
        this.memory().setUint32(done, moved, true);
        return 0;
      },
      // What is written is handed on as a view of the program's memory,
      // valid only during the call.
      fd_write: (fd, pointer, count, done) => {
        if (fd !== 1 && fd !== 2) return ERRNO_BADF;
        let moved = 0;
        each_buffer(pointer, count, (buffer) => {
          moved += buffer.length;
          if (fd === 1) this.io.output(buffer);
          else this.io.error(buffer);
        });
        this.memory().setUint32(done, moved, true);
        return 0;
      },
      proc_exit: (code) => {
        this.status = code;
        throw exited;
      },
    };
  }
}
