// The page's own part: the terminal, a line editor as a terminal's, and
// the program under a small WASI of its own.
//
// The program runs once a session, as in a terminal. A page cannot block,
// so the program is built with binaryen's Asyncify: where its read finds
// no line yet, it unwinds its stack and returns to the page, which rewinds
// it once a line has been typed. Each read hands over one line, as a
// terminal in canonical mode does. Its output flows into the terminal with
// xterm's write callbacks: while too much is not yet on screen, the next
// read waits as well.

XTerminal.strings.promptLabel = "Program girdisi";
const term = new XTerminal({
  cols: 80, rows: 24, convertEol: true, cursorBlink: true, scrollback: 1000,
  // Room above the capitals for the marks of İ, Ü, Ğ, Ö, Ç and Ş.
  lineHeight: 1.3,
  fontFamily: '"DejaVu Sans Mono", Consolas, Menlo, monospace',
});
const box = document.getElementById("terminal");
term.open(box);
const transcript = document.getElementById("transcript");
const end_text = document.getElementById("end-text");
const again = document.getElementById("again");
const sideways = document.getElementById("sideways");
const encoder = new TextEncoder();

// What the page says itself, a line each, in the terminal.
const kNoWebAssembly = [
  "Bu tarayıcı programı çalıştıramıyor: WebAssembly desteklenmiyor ya da",
  "kapalı. Başka bir tarayıcıyla açmayı deneyin. iPhone ya da iPad'de bu sayfa",
  "için Kilitleme Modu'nu kapatın.",
];
const kNotLoaded = [
  "Program yüklenemedi. Yeniden başlatmayı ya da başka bir tarayıcıyı deneyin.",
];
const kStopped = ["Program bir hatayla durdu. Yeniden başlatabilirsiniz."];

// Output handed to the terminal and not yet taken in: above the high mark
// the program's next read waits until it is below the low mark. Output is
// handed over in pieces of about a batch.
const kHighMark = 64 * 1024;
const kLowMark = 16 * 1024;
const kBatch = 16 * 1024;

const ERRNO_BADF = 8;
const ERRNO_NOSYS = 52;
const exited = Symbol("exited");

let compiled = null;  // the program's module, once compiled
let session = 0;      // the current session; an older one's callbacks are ignored
let program = null;   // the instance's exports, and where it keeps its stack
let waiting = null;   // why the program's read waits: "line" or "output"
let ended = true;
let input_ended = false;
let status = 0;
let reading = null;   // the rest of the line the program is reading
let ready = [];       // whole lines pasted, not yet read from ready_at on
let ready_at = 0;
let line = "";        // the line being typed
let start_of_line = null;  // a marker on the row where it began
let marks = [];       // where the cursor was before each of its characters
let keys = "";        // typed and not yet handled
let after_cr = false; // the last key was a carriage return
let busy = false;
let batch = [];       // output not yet handed to the terminal
let batch_size = 0;
let pending = 0;      // output handed over and not yet taken in
let settled_waiters = [];
let decoder = new TextDecoder();

// The output path: everything written to the terminal goes through here,
// in order.
function emit(data) {
  const bytes = typeof data === "string" ? encoder.encode(data) : data;
  batch.push(bytes);
  batch_size += bytes.length;
}
function flush(whole = true) {
  if (batch_size === 0 || (!whole && batch_size < kBatch)) return;
  const bytes = new Uint8Array(batch_size);
  batch.reduce((at, piece) => (bytes.set(piece, at), at + piece.length), 0);
  batch = [];
  batch_size = 0;
  pending += bytes.length;
  const id = session;
  term.write(bytes, () => {
    if (id !== session) return;
    pending -= bytes.length;
    if (pending === 0) for (const done of settled_waiters.splice(0)) done();
    if (waiting === "output" && pending < kLowMark) {
      waiting = null;
      setTimeout(() => id === session && !ended && run(true));
    }
  });
}
// Done once the terminal has taken in everything written so far.
function settled() {
  flush();
  return pending === 0 ? Promise.resolve()
    : new Promise((done) => settled_waiters.push(done));
}

// The program's WASI: its standard input is the line discipline below,
// its standard output the terminal.
const view = () => new DataView(program.memory.buffer);
const iovecs = (pointer, count) => Array.from({ length: count },
  (_, i) => new Uint8Array(program.memory.buffer,
    view().getUint32(pointer + 8 * i, true),
    view().getUint32(pointer + 8 * i + 4, true)));
const wasi = {
  fd_read(fd, pointer, count, done) {
    if (fd !== 0) return ERRNO_BADF;
    const calls = program.exports;
    // A read that waited calls again as the program is rewound.
    if (calls.asyncify_get_state() === 2) calls.asyncify_stop_rewind();
    if (reading === null && !input_ended) {
      if (pending > kHighMark) return suspend("output");
      if (ready_at === ready.length) return suspend("line");
      const text = ready[ready_at++];
      if (ready_at === ready.length) {
        ready = [];
        ready_at = 0;
      }
      emit(text + "\r\n");
      say_line_end();
      reading = encoder.encode(text + "\n");
    }
    let moved = 0;
    for (const buffer of reading ? iovecs(pointer, count) : []) {
      const part = reading.subarray(0, buffer.length);
      buffer.set(part);
      reading = reading.subarray(part.length);
      moved += part.length;
    }
    if (reading?.length === 0) reading = null;
    view().setUint32(done, moved, true);
    return 0;
  },
  fd_write(fd, pointer, count, done) {
    if (fd !== 1 && fd !== 2) return ERRNO_BADF;
    let moved = 0;
    for (const buffer of iovecs(pointer, count)) {
      moved += buffer.length;
      if (fd === 2) {
        console.error(new TextDecoder().decode(buffer));
        continue;
      }
      const bytes = buffer.slice();
      emit(bytes);
      say(decoder.decode(bytes, { stream: true }));
    }
    flush(false);
    view().setUint32(done, moved, true);
    return 0;
  },
  proc_exit(code) {
    status = code;
    throw exited;
  },
};

// The read waits: the program unwinds its stack, and `_start` returns.
function suspend(why) {
  waiting = why;
  program.exports.asyncify_start_unwind(program.exports.molagirlik_suspended_stack());
  return 0;
}

// Runs the program, from its start or rewound at the read that waited,
// until it waits again or ends.
function run(rewind) {
  const calls = program.exports;
  try {
    if (rewind) calls.asyncify_start_rewind(program.stack);
    calls._start();
  } catch (error) {
    if (error !== exited) return fail(error, kStopped);
  }
  if (calls.asyncify_get_state() === 1) {
    calls.asyncify_stop_unwind();
    flush();
    say_block();
    if (waiting === "line") handle_keys();
    return;
  }
  flush();
  say_block();
  ended = true;
  const id = session;
  settled().then(() => id === session && finish(status === 0 ? "Program sona erdi."
    : `Program bir hatayla sona erdi (durum ${status}).`));
}

// The live region says what the program says, a block at a time: a rule
// line, or the program waiting, ends a block, and rule lines are not said.
// It keeps about as much as the terminal's scrollback.
const kTranscriptSize = 80 * 1000;
let transcript_size = 0;
let block = "";
let mid_line = false;
function say(text) {
  for (const piece of text.split(/(?<=\n)/)) {
    const rule = !mid_line && piece.endsWith("\n") && /^[-*^=+ ]*\n$/.test(piece);
    mid_line = !piece.endsWith("\n");
    if (!rule) block += piece;
    else if (/\S/.test(piece)) say_block();
  }
}
// A line typed ends the row it was typed on; what the user types is not
// said again.
function say_line_end() {
  if (mid_line) block += "\n";
  mid_line = false;
}
function say_block() {
  const text = block.trim();
  block = "";
  if (text === "") return;
  const said = document.createElement("div");
  said.textContent = text;
  transcript.append(said);
  transcript_size += text.length;
  while (transcript_size > kTranscriptSize && transcript.childNodes.length > 1) {
    transcript_size -= transcript.firstChild.textContent.length;
    transcript.firstChild.remove();
  }
  if (transcript_size > kTranscriptSize) {
    said.textContent = text.slice(-kTranscriptSize);
    transcript_size = kTranscriptSize;
  }
}

// The status line below the terminal; the rows make room for it.
function set_status(text) {
  end_text.textContent = text;
  fitted = "";
  fit();
}

// The page's own lines, in the terminal and in the status line.
function tell(lines) {
  emit("\r\n" + lines.join("\r\n") + "\r\n");
  flush();
  set_status(lines.join(" "));
}

function finish(message) {
  set_status(message);
  again.focus();
}

// The program or the page went wrong: say so in Turkish, and leave the
// focus where it is (an Enter on the button would wipe the message). The
// engine's own words go to the console.
function fail(error, lines) {
  console.error(error);
  ended = true;
  waiting = null;
  keys = "";
  tell(lines);
}

// A line's text after its Backspaces, without keys that edit nothing; a
// Tab stays, as it separates entries as a space does.
function edited(keys) {
  const text = [];
  for (const key of keys) {
    if (key === "\x7f" || key === "\b") text.pop();
    else if (key >= " " || key === "\t") text.push(key);
  }
  return text.join("");
}

// Where the cursor is, once every write has been taken in: rows from the
// line's first one (a marker, which stays right as the scrollback is
// trimmed) and a column (the number of columns when a character filled the
// row's last one).
function cursor() {
  const buffer = term.buffer.active;
  return { row: buffer.baseY + buffer.cursorY - start_of_line.line, x: buffer.cursorX };
}

// The end of the input: the program's next read gives nothing.
function end_input(echo) {
  input_ended = true;
  reading = null;
  ready = [];
  ready_at = 0;
  keys = "";
  emit(echo);
  flush();
  if (waiting === "line") {
    waiting = null;
    run(true);
  }
}

// Handles what was typed or pasted, a character at a time, while the
// program waits for a line: Enter hands over the line, and keeps every
// whole line pasted after it for the reads that follow.
async function handle_keys() {
  if (busy) return;
  busy = true;
  const id = session;
  try {
    while (keys.length > 0 && waiting === "line") {
      const [key] = keys;
      keys = keys.slice(key.length);
      if (key === "\r" || key === "\n") {
        for (let next; (next = keys.search(/[\r\n]/)) >= 0;) {
          ready.push(edited(keys.slice(0, next)));
          keys = keys.slice(next + 1);
        }
        emit("\r\n");
        say_line_end();
        reading = encoder.encode(line + "\n");
        line = "";
        marks = [];
        waiting = null;
        run(true);
      } else if (key === "\x04" && line === "") {
        // Ctrl+D on an empty line; on a line with text it does nothing.
        end_input("\r\n");
      } else if (key === "\x7f" || key === "\b") {
        if (marks.length === 0) continue;
        line = Array.from(line).slice(0, -1).join("");
        // Back to where the character began, whatever row it wrapped to and
        // however wide it was, and clear what follows.
        const { row, x } = marks.pop();
        await settled();
        if (id !== session) return;
        const y = Math.max(1, start_of_line.line + row - term.buffer.active.baseY + 1);
        emit(x < term.cols ? `\x1b[${y};${x + 1}H\x1b[J` : `\x1b[${y + 1};1H\x1b[J`);
        flush();
      } else if (key >= " " || key === "\t") {
        await settled();
        if (id !== session || waiting !== "line") return;
        if (marks.length === 0) {
          start_of_line?.dispose();
          start_of_line = term.registerMarker(0);
        }
        marks.push(cursor());
        line += key;
        emit(key);
        flush();
      }
    }
  } catch (error) {
    fail(error, kStopped);
  } finally {
    if (id === session) busy = false;
  }
}

term.onData((data) => {
  // Arrows and function keys edit nothing here.
  if (ended || data.startsWith("\x1b")) return;
  // A Windows line end is one Enter, even when it comes in two pieces.
  if (after_cr && data.startsWith("\n")) data = data.slice(1);
  after_cr = data.endsWith("\r");
  data = data.replace(/\r\n/g, "\r");
  // Ctrl+C ends the input at once, and what was typed ahead with it.
  if (data.includes("\x03")) return end_input("^C\r\n");
  keys += data;
  if (waiting === "line") handle_keys();
});
// The browser's own keys: Ctrl+V (Cmd+V) pastes, Ctrl+C (Cmd+C) copies a
// selection, Tab leaves the terminal.
term.attachCustomKeyEventHandler((event) => {
  const key = event.key.toLowerCase();
  const command = (event.ctrlKey || event.metaKey) && !event.altKey;
  if (key === "tab") return false;
  if (command && key === "v") return false;
  if (command && key === "c" && term.hasSelection()) return false;
  return true;
});

// The terminal's font follows the width, so that all 80 columns show on
// any screen from 320 CSS pixels up; below 8 px a line suggests turning
// the phone. The rows follow the height that is left, on a phone that
// above its keyboard, so that nothing lies below the screen.
const kLargestFont = 15;
const kSmallestReadable = 8;
let fitted = "";  // the width and height last fitted to
function fit() {
  const height = window.visualViewport?.height ?? window.innerHeight;
  // A resize that changes neither (a phone's focus, say) changes nothing:
  // resizing the terminal would clear its selection.
  if (fitted === `${box.clientWidth}x${height}`) return;
  const screen = box.querySelector(".xterm-screen");
  const room = box.clientWidth - 14;  // xterm's scroll bar goes beside
  let size = term.options.fontSize;
  const per_pixel = screen.offsetWidth / size;
  size = Math.min(kLargestFont, Math.floor(4 * room / per_pixel) / 4);
  if (size !== term.options.fontSize) term.options.fontSize = size;
  // Cells are whole device pixels: a few steps down if rounding overflowed.
  for (let tries = 0; tries < 8 && screen.offsetWidth > room && size > 4; ++tries) {
    term.options.fontSize = size -= 0.25;
  }
  sideways.hidden = size >= kSmallestReadable;
  const other = document.body.scrollHeight - box.offsetHeight;
  const cell = screen.offsetHeight / term.rows;
  let rows = Math.max(6, Math.floor((height - other) / cell));
  if (rows !== term.rows) term.resize(80, rows);
  // Rows of a fractional height: the last check that the page still fits.
  while (rows > 6 && document.documentElement.scrollHeight > height) {
    term.resize(80, --rows);
  }
  fitted = `${box.clientWidth}x${height}`;
}
for (const target of [window, window.visualViewport]) {
  target?.addEventListener("resize", () => {
    fit();
    box.scrollIntoView({ block: "nearest" });
  });
}

async function start() {
  // The session under way runs no more, and its output is all on screen
  // before the terminal is cleared.
  ended = true;
  waiting = null;
  keys = "";
  await settled();
  ++session;
  // Keys typed from now on wait for the program.
  ended = false;
  program = null;
  input_ended = false;
  status = 0;
  reading = null;
  ready = [];
  ready_at = 0;
  line = "";
  marks = [];
  start_of_line?.dispose();
  start_of_line = null;
  busy = false;
  decoder = new TextDecoder();
  block = "";
  mid_line = false;
  end_text.textContent = "";
  fitted = "";
  term.reset();
  transcript.textContent = "";
  transcript_size = 0;
  fit();
  term.focus();
  const id = session;
  try {
    compiled ??= await WebAssembly.compile(
      Uint8Array.from(atob(molagirlik_program), (c) => c.charCodeAt(0)));
  } catch (error) {
    return fail(error, kNotLoaded);
  }
  if (id !== session) return;
  try {
    const imports = { ...wasi };
    // Whatever else the C library might ask for is not there.
    for (const { module, name } of WebAssembly.Module.imports(compiled)) {
      if (module === "wasi_snapshot_preview1" && !(name in imports)) {
        imports[name] = () => ERRNO_NOSYS;
      }
    }
    const instance = await WebAssembly.instantiate(
      compiled, { wasi_snapshot_preview1: imports });
    if (id !== session) return;
    const calls = instance.exports;
    program = { exports: calls, memory: calls.memory, stack: calls.molagirlik_suspended_stack() };
    run(false);
  } catch (error) {
    fail(error, kStopped);
  }
}

// The terminal's whole text, scrollback and all, a line each: for tests.
globalThis.molagirlik_screen = () => {
  const buffer = term.buffer.active;
  return Array.from({ length: buffer.length },
    (_, y) => buffer.getLine(y).translateToString(true)).join("\n").trimEnd();
};

if (typeof WebAssembly !== "object") {
  // Nothing to start, and no button that would do nothing.
  again.hidden = true;
  tell(kNoWebAssembly);
} else {
  again.addEventListener("click", start);
  await start();
}
