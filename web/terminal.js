// The page's own part: the terminal, a line editor as a terminal's, and
// the program run under a small WASI of its own.
//
// The program's reads are synchronous and a page cannot block, so each
// time the user sends a line the program runs again on everything typed so
// far. That gives the same screen: the program writes everything before
// each wait, ends at the end of its input having written it all, and its
// output for more input starts with its output for less. The lines just
// sent are handed over a line a read, as a terminal does, so one run also
// tells what the screen showed after each: lines pasted together cost one
// run.

const module = await WebAssembly.compile(
  Uint8Array.from(atob(program), (c) => c.charCodeAt(0)));

const ERRNO_BADF = 8;
const ERRNO_NOSYS = 52;
const exited = Symbol("exited");

// Runs the program on `input`, handing it the bytes from `fresh` on a line
// a read. Returns its output; `asked`, the length of the output when it
// asked for each of those lines (all of it was written before it waited);
// its exit status; and whether it ended on its own rather than for want of
// input.
async function run(input, fresh = input.length) {
  let memory = null;
  let taken = 0;
  let waiting = false;
  let status = 0;
  let written = 0;
  const asked = [];
  const chunks = [];
  const iovecs = (pointer, count) => {
    const view = new DataView(memory.buffer);
    return Array.from({ length: count }, (_, i) => new Uint8Array(
      memory.buffer, view.getUint32(pointer + 8 * i, true),
      view.getUint32(pointer + 8 * i + 4, true)));
  };
  const wasi = {
    fd_read(fd, pointer, count, done) {
      if (fd !== 0) return ERRNO_BADF;
      const newline = input.indexOf(10, taken);
      const line_end = taken < fresh ? fresh
        : newline < 0 ? input.length : newline + 1;
      // A read that begins a fresh line: the screen as the user saw it then.
      if (taken >= fresh && taken < line_end &&
          (taken === 0 || input[taken - 1] === 10)) {
        asked.push(written);
      }
      let moved = 0;
      for (const buffer of iovecs(pointer, count)) {
        const part = input.subarray(taken, Math.min(line_end, taken + buffer.length));
        buffer.set(part);
        taken += part.length;
        moved += part.length;
      }
      if (moved === 0) waiting = true;
      new DataView(memory.buffer).setUint32(done, moved, true);
      return 0;
    },
    fd_write(fd, pointer, count, done) {
      if (fd !== 1 && fd !== 2) return ERRNO_BADF;
      let moved = 0;
      for (const buffer of iovecs(pointer, count)) {
        if (fd === 1) {
          chunks.push(buffer.slice());
          written += buffer.length;
        }
        moved += buffer.length;
      }
      new DataView(memory.buffer).setUint32(done, moved, true);
      return 0;
    },
    proc_exit(code) {
      status = code;
      throw exited;
    },
  };
  // Whatever else the C library might ask for is not there.
  for (const { module: from, name } of WebAssembly.Module.imports(module)) {
    if (from === "wasi_snapshot_preview1" && !(name in wasi)) {
      wasi[name] = () => ERRNO_NOSYS;
    }
  }
  const instance = await WebAssembly.instantiate(
    module, { wasi_snapshot_preview1: wasi });
  memory = instance.exports.memory;
  try {
    instance.exports._start();
  } catch (error) {
    if (error !== exited) throw error;
  }
  const output = new Uint8Array(chunks.reduce((n, c) => n + c.length, 0));
  chunks.reduce((at, c) => (output.set(c, at), at + c.length), 0);
  return { output, asked, status, ended: !waiting };
}

const term = new XTerminal({
  cols: 80, rows: 30, convertEol: true, cursorBlink: true,
  fontFamily: '"DejaVu Sans Mono", Consolas, Menlo, monospace',
});
term.open(document.getElementById("terminal"));
// Screen readers read the transcript, which keeps the whole dialogue.
document.querySelector("#terminal .xterm-screen")
  ?.setAttribute("aria-hidden", "true");
const transcript = document.getElementById("transcript");
const end = document.getElementById("end");
const again = document.getElementById("again");
const encoder = new TextEncoder();

let input = new Uint8Array(0);  // every line sent so far
let shown = 0;                  // bytes of the program's output on screen
let decoder = new TextDecoder();
let line = "";                  // the line being typed
let keys = "";                  // typed and not yet handled
let busy = false;
let ended = false;

function say(text) {
  transcript.append(text);
}

// Shows the program's output up to byte `until`.
function show(output, until) {
  const fresh = output.subarray(shown, until);
  shown = until;
  term.write(fresh);
  say(decoder.decode(fresh, { stream: true }));
  if (shown > 0) performance.mark("molagirlik-output");
}

// A line's text after its Backspaces, without keys that edit nothing.
function edited(keys) {
  const text = [];
  for (const key of keys) {
    if (key === "\x7f" || key === "\b") text.pop();
    else if (key >= " ") text.push(key);
  }
  return text.join("");
}

// Sends the lines to the program and shows, after each, what it wrote
// before asking for the next one; the first line is on screen already.
async function send(lines) {
  const bytes = encoder.encode(lines.map((text) => text + "\n").join(""));
  const longer = new Uint8Array(input.length + bytes.length);
  longer.set(input);
  longer.set(bytes, input.length);
  const result = await run(longer, input.length);
  input = longer;
  for (const [k, text] of lines.entries()) {
    // A program that has ended reads no more lines.
    if (k >= result.asked.length) break;
    if (k > 0) term.write(text);
    term.write("\r\n");
    say(text + "\n");
    show(result.output, result.asked[k + 1] ?? result.output.length);
  }
  if (result.ended) finish(result.status);
}

function finish(status) {
  ended = true;
  document.getElementById("end-text").textContent = status === 0
    ? "Program sona erdi."
    : `Program bir hatayla sona erdi (durum ${status}).`;
  end.hidden = false;
  say("\n" + end.textContent.trim() + "\n");
  again.focus();
}

// Handles what was typed or pasted, a character at a time, as a terminal
// does: Enter sends the line, together with every whole line pasted after
// it, and the page answers before it handles the next key.
async function handle_keys() {
  if (busy) return;
  busy = true;
  while (keys.length > 0 && !ended) {
    const [key] = keys;
    keys = keys.slice(key.length);
    if (key === "\r" || key === "\n") {
      const lines = [line];
      for (let next; (next = keys.search(/[\r\n]/)) >= 0;) {
        lines.push(edited(keys.slice(0, next)));
        keys = keys.slice(next + 1);
      }
      line = "";
      await send(lines);
    } else if (key === "\x7f" || key === "\b") {
      if (line.length > 0) {
        line = Array.from(line).slice(0, -1).join("");
        term.write("\b \b");
      }
    } else if (key >= " ") {
      line += key;
      term.write(key);
    }
  }
  busy = false;
}

term.onData((data) => {
  // Arrows and function keys edit nothing here.
  if (data.startsWith("\x1b")) return;
  // A pasted Windows line end is one Enter.
  keys += data.replace(/\r\n/g, "\r");
  handle_keys();
});

async function start() {
  input = new Uint8Array(0);
  shown = 0;
  decoder = new TextDecoder();
  line = "";
  keys = "";
  ended = false;
  end.hidden = true;
  term.reset();
  transcript.textContent = "";
  term.focus();
  const result = await run(input);
  show(result.output, result.output.length);
}

again.addEventListener("click", start);
await start();
