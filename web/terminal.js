// The page's own part: the terminal, a line editor as a terminal's, and
// the program run under a small WASI of its own.
//
// The program's reads are synchronous and a page cannot block, so each
// time the user sends a line the program runs again on what was typed
// since the current compound began, started at that compound (its first
// argument). That gives the very screen of one whole run because
//  - the program writes everything before each wait, and ends at the end of
//    its input having written it all;
//  - so its output for an input cut at a line end is a beginning of its
//    output for the whole input (for a cut inside a line it is not: "-"
//    alone is no number, "-2" is);
//  - and where it waits for a compound's number of decimal places at a line
//    end, its state is that compound's ordinal alone: started again there
//    at that compound, it writes the banner and the prompt again and then
//    what the whole run writes.
// The lines just sent are handed over a line a read, as a terminal does, so
// one run also tells what the screen showed after each: lines pasted
// together cost one run.

const module = await WebAssembly.compile(
  Uint8Array.from(atob(program), (c) => c.charCodeAt(0)));

const ERRNO_BADF = 8;
const ERRNO_NOSYS = 52;
const exited = Symbol("exited");
// One character a byte, to find screen texts in the output.
const bytes_as_text = new TextDecoder("latin1");

// What the program writes first: the banner and the decimals prompt, and
// that prompt alone, once per compound. Set by the first run.
let opening = "";
let prompt = "";

// Runs the program from compound `first` on `input`, handing it the bytes
// from `fresh` on a line a read. Keeps its output from byte `keep` on.
// Returns that output; `written`, the length of the whole output; `waits`,
// for each of the fresh lines that it asked for, how much it had written
// then (all of it before it waited), where in the input the line starts,
// how many compounds it had begun, and whether it waited at a compound's
// first prompt; its exit status; and whether it ended on its own rather
// than for want of input.
async function run(input, { fresh = input.length, first = 1, keep = 0 } = {}) {
  let memory = null;
  let taken = 0;
  let waiting = false;
  let status = 0;
  let written = 0;
  let recent = "";    // the last bytes written, as long as the opening
  let compounds = 0;  // prompts for decimal places written
  const waits = [];
  const chunks = [];
  const args = [encoder.encode("molagirlik-utf8\0"),
                encoder.encode(`${first}\0`)];
  const view = () => new DataView(memory.buffer);
  const iovecs = (pointer, count) => Array.from({ length: count },
    (_, i) => new Uint8Array(memory.buffer,
      view().getUint32(pointer + 8 * i, true),
      view().getUint32(pointer + 8 * i + 4, true)));
  const wasi = {
    args_sizes_get(count, size) {
      view().setUint32(count, args.length, true);
      view().setUint32(size, args.reduce((n, a) => n + a.length, 0), true);
      return 0;
    },
    args_get(pointers, buffer) {
      for (const [i, arg] of args.entries()) {
        view().setUint32(pointers + 4 * i, buffer, true);
        new Uint8Array(memory.buffer, buffer, arg.length).set(arg);
        buffer += arg.length;
      }
      return 0;
    },
    fd_read(fd, pointer, count, done) {
      if (fd !== 0) return ERRNO_BADF;
      const newline = input.indexOf(10, taken);
      const line_end = taken < fresh ? fresh
        : newline < 0 ? input.length : newline + 1;
      // A read that begins a fresh line: the screen as the user saw it then.
      if (taken >= fresh && taken < line_end &&
          (taken === 0 || input[taken - 1] === 10)) {
        waits.push({ at: written, from: taken, compounds,
                     at_opening: opening !== "" && recent === opening });
      }
      let moved = 0;
      for (const buffer of iovecs(pointer, count)) {
        const part = input.subarray(taken, Math.min(line_end, taken + buffer.length));
        buffer.set(part);
        taken += part.length;
        moved += part.length;
      }
      if (moved === 0) waiting = true;
      view().setUint32(done, moved, true);
      return 0;
    },
    fd_write(fd, pointer, count, done) {
      if (fd !== 1 && fd !== 2) return ERRNO_BADF;
      let moved = 0;
      for (const buffer of iovecs(pointer, count)) {
        moved += buffer.length;
        if (fd !== 1) continue;
        if (written + buffer.length > keep) {
          chunks.push(buffer.slice(Math.max(0, keep - written)));
        }
        written += buffer.length;
        if (prompt === "") continue;
        const text = recent + bytes_as_text.decode(buffer);
        for (let at = text.indexOf(prompt, Math.max(0, recent.length - prompt.length + 1));
          at >= 0; at = text.indexOf(prompt, at + 1)) {
          ++compounds;
        }
        recent = text.slice(-opening.length);
      }
      view().setUint32(done, moved, true);
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
  return { output, written, waits, status, ended: !waiting };
}

XTerminal.strings.promptLabel = "Program girdisi";
const term = new XTerminal({
  cols: 80, rows: 24, convertEol: true, cursorBlink: true, scrollback: 1000,
  fontFamily: '"DejaVu Sans Mono", Consolas, Menlo, monospace',
});
const box = document.getElementById("terminal");
term.open(box);
const transcript = document.getElementById("transcript");
const end_text = document.getElementById("end-text");
const again = document.getElementById("again");
const encoder = new TextEncoder();

let first = 1;                  // the compound that `input` begins
let input = new Uint8Array(0);  // every line sent since it began
let shown = 0;                  // bytes of that run's output on screen
let decoder = new TextDecoder();
let line = "";                  // the line being typed
let marks = [];                 // where the cursor was before each of its characters
let keys = "";                  // typed and not yet handled
let busy = false;
let ended = false;

// The terminal's font follows the width, so that all 80 columns show on
// any screen from 320 CSS pixels up; the rows follow the height that is
// left, on a phone that above its keyboard.
const kLargestFont = 15;
function fit() {
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
  const height = window.visualViewport?.height ?? window.innerHeight;
  const other = document.body.scrollHeight - box.offsetHeight;
  const cell = screen.offsetHeight / term.rows;
  const rows = Math.max(6, Math.floor((height - other) / cell));
  if (rows !== term.rows) term.resize(80, rows);
}
for (const target of [window, window.visualViewport]) {
  target?.addEventListener("resize", () => {
    fit();
    box.scrollIntoView({ block: "nearest" });
  });
}

// The live region says what the program says, without its rule lines, and
// keeps about as much as the terminal's scrollback.
const kTranscriptSize = 80 * 1000;
let transcript_size = 0;
let mid_line = false;
function say(text) {
  let kept = "";
  for (const piece of text.split(/(?<=\n)/)) {
    const rule = !mid_line && piece.endsWith("\n") && /^[-*^=+ ]*\n$/.test(piece);
    if (!rule) kept += piece;
    mid_line = !piece.endsWith("\n");
  }
  if (kept === "") return;
  transcript.append(kept);
  transcript_size += kept.length;
  while (transcript_size > kTranscriptSize && transcript.childNodes.length > 1) {
    transcript_size -= transcript.firstChild.length;
    transcript.firstChild.remove();
  }
  if (transcript_size > kTranscriptSize) {
    transcript.firstChild.data = transcript.firstChild.data.slice(-kTranscriptSize);
    transcript_size = kTranscriptSize;
  }
}

// Writes to the terminal. `settled` is done once the terminal has taken in
// every write so far (it calls back in order, and never for nothing).
let settled = Promise.resolve();
function write(data) {
  if (data.length > 0) settled = new Promise((done) => term.write(data, done));
}
// Where the cursor is, once every write has been taken in: a line of the
// buffer, and a column (the number of columns when a character filled the
// row's last one).
function cursor() {
  const buffer = term.buffer.active;
  return { y: buffer.baseY + buffer.cursorY, x: buffer.cursorX };
}

// Shows the output of the current run up to byte `until`.
function show(result, until) {
  const dropped = result.written - result.output.length;
  const fresh = result.output.subarray(shown - dropped, until - dropped);
  shown = until;
  write(fresh);
  say(decoder.decode(fresh, { stream: true }));
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
  const result = await run(longer, { fresh: input.length, first, keep: shown });
  input = longer;
  for (const [k, text] of lines.entries()) {
    // A program that has ended reads no more lines.
    if (k >= result.waits.length) break;
    if (k > 0) write(text);
    write("\r\n");
    say(text + "\n");
    show(result, result.waits[k + 1]?.at ?? result.written);
  }
  if (result.ended) return finish(result.status);
  // The next run starts at the latest compound that waits for its first
  // entry at a line end.
  const start = result.waits.findLast((wait) => wait.at_opening && wait.from > 0);
  if (start && start.at <= shown) {
    first += start.compounds - 1;
    input = input.slice(start.from);
    shown -= start.at - opening.length;
  }
}

function finish(status, message = status === 0 ? "Program sona erdi."
  : `Program bir hatayla sona erdi (durum ${status}).`) {
  ended = true;
  end_text.textContent = message;
  say("\n" + message + "\n");
  again.focus();
}

// A run or the page itself went wrong: say so, and offer to start again.
function fail(error) {
  console.error(error);
  finish(1, `Sayfada bir hata oluştu: ${error.message}. Yeniden başlatabilirsiniz.`);
}

// Handles what was typed or pasted, a character at a time, as a terminal
// does: Enter sends the line, together with every whole line pasted after
// it, and the page answers before it handles the next key.
async function handle_keys() {
  if (busy) return;
  busy = true;
  // Typing brings the prompt back into view, as in a terminal.
  term.scrollToBottom();
  try {
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
        marks = [];
        await send(lines);
      } else if (key === "\x03" || (key === "\x04" && line === "")) {
        // Ctrl+C, or Ctrl+D on an empty line: the end of the input, where
        // the program stops and writes nothing more.
        write(key === "\x03" ? "^C\r\n" : "\r\n");
        finish(0);
      } else if (key === "\x7f" || key === "\b") {
        if (line.length === 0) continue;
        line = Array.from(line).slice(0, -1).join("");
        // Back to where the character began, whatever row it wrapped to and
        // however wide it was, and clear what follows.
        const { y, x } = marks.pop();
        await settled;
        const row = Math.max(1, y - term.buffer.active.baseY + 1);
        write(x < term.cols ? `\x1b[${row};${x + 1}H\x1b[J`
          : `\x1b[${row + 1};1H\x1b[J`);
      } else if (key >= " ") {
        await settled;
        marks.push(cursor());
        line += key;
        write(key);
      }
    }
  } catch (error) {
    keys = "";
    write("\r\n");
    fail(error);
  } finally {
    busy = false;
  }
}

term.onData((data) => {
  // Arrows and function keys edit nothing here.
  if (data.startsWith("\x1b")) return;
  // A pasted Windows line end is one Enter.
  keys += data.replace(/\r\n/g, "\r");
  handle_keys();
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

async function start() {
  // A run still under way ends first.
  ended = true;
  while (busy) await new Promise((done) => setTimeout(done, 10));
  first = 1;
  input = new Uint8Array(0);
  shown = 0;
  decoder = new TextDecoder();
  line = "";
  marks = [];
  keys = "";
  ended = false;
  mid_line = false;
  end_text.textContent = "";
  term.reset();
  transcript.textContent = "";
  transcript_size = 0;
  fit();
  term.focus();
  try {
    const result = await run(input);
    opening = bytes_as_text.decode(result.output);
    prompt = opening.slice(opening.lastIndexOf("\n") + 1);
    show(result, result.written);
  } catch (error) {
    fail(error);
  }
}

// The terminal's whole text, scrollback and all, a line each: for tests.
globalThis.molagirlik_screen = () => {
  const buffer = term.buffer.active;
  return Array.from({ length: buffer.length },
    (_, y) => buffer.getLine(y).translateToString(true)).join("\n").trimEnd();
};

again.addEventListener("click", start);
await start();
