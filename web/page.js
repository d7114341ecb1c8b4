// The page: wires the terminal, the program, the line discipline, the
// output's flow, the live region and the layout, one session at a time, and
// says in Turkish what went wrong. A session runs the program once, as a
// terminal does; "Yeniden başlat" ends it and starts another.

import { Terminal as XTerminal } from "@xterm/xterm";

import { Announcer } from "./announcer.js";
import { become_an_app } from "./app.js";
import { Flow } from "./flow.js";
import { Layout } from "./layout.js";
import { LineDiscipline } from "./line_discipline.js";
import { Program, kWait } from "./program.js";
import { compile } from "./unpack.js";

// The program is unpacked and compiled by the browser, on threads of its
// own, while the terminal opens; once, for every session.
let compiling = typeof WebAssembly === "object" ? compile(molagirlik_program) : null;
compiling?.catch(() => {});  // said when the first session awaits it

XTerminal.strings.promptLabel = "Program girdisi";
const term = new XTerminal({
  cols: 80, rows: 24, convertEol: true, scrollback: 1000,
  // Room above the capitals for the marks of İ, Ü, Ğ, Ö, Ç and Ş.
  lineHeight: 1.3,
  fontFamily: '"DejaVu Sans Mono", Consolas, Menlo, monospace',
});
const box = document.getElementById("terminal");
const end_text = document.getElementById("end-text");
const again = document.getElementById("again");
// Fitted before it opens, so that it is laid out and drawn once, at its
// size. Shown with the program's first screen: the page appears whole, at
// once.
const layout = new Layout(term, box, document.getElementById("sideways"));
layout.fit();
term.open(box);
// At once, so that what is typed from the first moment is kept.
term.focus();
// Shown once what is written so far has been taken in and drawn, in the
// frame that paints it, and the terminal's fit checked against the page as
// it is laid out for that paint (not laid out twice). Until then it is
// transparent, not hidden, so that it has the focus and keeps what is typed.
let shown = false;
function show() {
  if (shown) return;
  shown = true;
  term.write("", () => requestAnimationFrame(() => {
    box.parentElement.classList.add("shown");
    layout.settle();
    // The worker's install, which fetches the page again, once it is up.
    if (typeof WebAssembly === "object") setTimeout(become_an_app);
  }));
}
const announcer = new Announcer(document.getElementById("announcer"),
  document.getElementById("transcript"));
// A line's bytes, in a buffer that the next line's reuses: the program
// has read them by then.
const encoder = new TextEncoder();
let line_bytes = new Uint8Array(1024);
function encode(text) {
  if (3 * text.length > line_bytes.length) line_bytes = new Uint8Array(3 * text.length);
  return line_bytes.subarray(0, encoder.encodeInto(text, line_bytes).written);
}

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

class Session {
  constructor() {
    this.flow = new Flow((bytes, done) => term.write(bytes, done));
    this.lines = new LineDiscipline(term, this.flow, {
      on_line: () => this.waiting === "line" && this.step(),
      on_end: (echo) => this.end_input(echo),
    });
    this.program = null;
    this.waiting = null;  // why the program's read waits: "line" or "output"
    this.waited = false;  // it waited for a line since it last read one
    this.input_ended = false;
    this.ended = false;
  }

  // The program's standard streams.
  io() {
    return {
      input: () => {
        if (this.input_ended) return null;
        if (this.flow.full()) return (this.waiting = "output", kWait);
        const line = this.lines.take();
        if (line === null) return (this.waiting = "line", kWait);
        // The same bytes for the echo: the terminal makes LF a line end.
        const bytes = encode(`${line.text}\n`);
        if (!line.echoed) this.flow.emit_bytes(bytes);
        if (!this.waited) announcer.drop();
        this.waited = false;
        announcer.typed(line.text);
        return bytes;
      },
      output: (bytes) => {
        this.flow.emit_bytes(bytes);
        announcer.hear(bytes);
        this.flow.flush(false);
      },
      error: (bytes) => console.error(new TextDecoder().decode(bytes.slice())),
    };
  }

  // Runs the program until it waits or ends.
  step() {
    this.waiting = null;
    let done;
    try {
      done = this.program.run();
    } catch (error) {
      return this.fail(error, kStopped);
    }
    this.flow.flush();
    show();
    if (!done && this.waiting === "line") {
      announcer.speak();
      this.waited = true;
      this.lines.want();
    } else if (!done) {
      // Straight from the terminal's callback, which may write again.
      this.flow.when_low(() => this.ended || this.step());
    } else {
      announcer.speak();
      this.stop();
      const status = this.program.status;
      this.flow.settled().then(() => this === session && finish(status === 0
        ? "Program sona erdi." : `Program bir hatayla sona erdi (durum ${status}).`));
    }
  }

  // Ctrl+D or Ctrl+C: the program's next read gives nothing.
  end_input(echo) {
    this.input_ended = true;
    this.flow.emit(echo);
    this.flow.flush();
    if (this.waiting === "line") this.step();
  }

  stop() {
    this.ended = true;
    this.lines.stop();
  }

  // The program or the page went wrong: say so in Turkish, and leave the
  // focus where it is (an Enter on the button would wipe the message). The
  // engine's own words go to the console.
  fail(error, lines) {
    console.error(error);
    this.stop();
    tell(this.flow, lines);
  }
}

// The status line below the terminal; the rows make room for it.
function set_status(text) {
  end_text.textContent = text;
  layout.refit();
}
// The page's own lines, in the terminal and in the status line.
function tell(flow, lines) {
  flow.emit(`\r\n${lines.join("\r\n")}\r\n`);
  flow.flush();
  show();
  set_status(lines.join(" "));
}
function finish(message) {
  set_status(message);
  again.focus();
}

let sessions = 0;  // sessions started
// The first session keeps what is typed from the moment the terminal
// opens, while the program is still being compiled.
let session = new Session();
term.onData((data) => session.lines.data(data));
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

// Done once the terminal has taken in all that ended sessions wrote.
let drawn = Promise.resolve();
async function start() {
  // The keys go to the terminal from the click on, not to the button
  // (where an Enter or a space would start yet another session).
  term.focus();
  let current = session;
  // The first session starts on the terminal as it opened. A later one
  // ends the one under way, whose output is all on screen before the
  // terminal is cleared, and keeps what is typed meanwhile.
  if (sessions++ > 0) {
    const ended = current;
    ended.stop();
    current = session = new Session();
    await (drawn = drawn.then(() => ended.flow.settled()));
    if (session !== current) return;
    end_text.textContent = "";
    term.reset();
    announcer.clear();
    layout.refit();
  }
  let module;
  try {
    module = await (compiling ??= compile(molagirlik_program));
  } catch (error) {
    compiling = null;
    return current.fail(error, kNotLoaded);
  }
  if (session !== current) return;
  try {
    current.program = await Program.start(module, current.io());
  } catch (error) {
    return current.fail(error, kStopped);
  }
  if (session === current && !current.ended) current.step();
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
  session.stop();
  tell(session.flow, kNoWebAssembly);
} else {
  again.addEventListener("click", start);
  // Its own task, apart from opening the terminal.
  await new Promise((resolve) => setTimeout(resolve));
  await start();
}
