// A terminal's line discipline, as in canonical mode: keys in, lines out.
// Owns the line being typed, its echo and editing (Backspace over wrapped
// rows and wide characters, Ctrl+U the line, Ctrl+W a word), the keys
// typed ahead, and the whole lines pasted and not yet read. Ctrl+D on an
// empty line and Ctrl+C end the input; a CR, an LF or a CRLF (even split
// over two events) is one Enter. It knows nothing of the program: it hands
// lines to `take()`'s caller.

const kBackspaces = ["\x7f", "\b"];
const kKill = "\x15";       // Ctrl+U
const kWordErase = "\x17";  // Ctrl+W
const kEnd = "\x04";        // Ctrl+D

// How many characters at the end of `chars` Ctrl+W erases: the separators
// before the cursor, then the word before them. As in Linux's terminals, a
// word is letters, digits and '_', and any character beyond ASCII.
export function word_length(chars) {
  const in_word = (c) => /[0-9A-Za-z_]/.test(c) || c > "\x7f";
  let i = chars.length;
  while (i > 0 && !in_word(chars[i - 1])) --i;
  while (i > 0 && in_word(chars[i - 1])) --i;
  return chars.length - i;
}

// A line's text after its Backspaces, Ctrl+U and Ctrl+W, without keys that
// edit nothing; a Tab stays, as it separates entries as a space does.
export function edited(keys) {
  if (!/[\x00-\x08\x0a-\x1f\x7f]/.test(keys)) return keys;
  const text = [];
  for (const key of keys) {
    if (kBackspaces.includes(key)) text.pop();
    else if (key === kKill) text.length = 0;
    else if (key === kWordErase) text.length -= word_length(text);
    else if (key >= " " || key === "\t") text.push(key);
  }
  return text.join("");
}

export class LineDiscipline {
  // `term` is the terminal (its buffer, columns and markers), `flow` the
  // output; `on_line()` is called when a line is ready, `on_end(echo)`
  // when the input ends.
  constructor(term, flow, { on_line, on_end }) {
    this.term = term;
    this.flow = flow;
    this.on_line = on_line;
    this.on_end = on_end;
    this.line = "";           // the line being typed
    this.marks = [];          // where the cursor was before each of its characters
    this.start_of_line = null;  // a marker on the row where it began
    this.keys = "";           // typed and not yet handled
    this.after_cr = false;    // the last key was a carriage return
    this.ready = [];          // whole lines, not yet taken from ready_at on
    this.ready_at = 0;
    this.wanted = false;      // a line is wanted: keys are handled
    this.busy = false;
    this.stopped = false;
  }

  // What the terminal gives: typed keys or a paste.
  data(data) {
    // Arrows and function keys edit nothing here.
    if (this.stopped || data.startsWith("\x1b")) return;
    // A Windows line end is one Enter, even when it comes in two pieces.
    if (this.after_cr && data.startsWith("\n")) data = data.slice(1);
    this.after_cr = data.endsWith("\r");
    data = data.replace(/\r\n/g, "\r");
    // Ctrl+C ends the input at once, and what was typed ahead with it.
    if (data.includes("\x03")) return this.end("^C\r\n");
    this.keys += data;
    if (this.wanted) this.handle();
  }

  // The next whole line, as { text, echoed }, or null.
  take() {
    if (this.ready_at === this.ready.length) return null;
    const line = this.ready[this.ready_at++];
    if (this.ready_at === this.ready.length) {
      this.ready = [];
      this.ready_at = 0;
    }
    return line;
  }

  // A line is wanted: the keys typed so far are handled, and those to come.
  want() {
    this.wanted = true;
    this.handle();
  }

  // The session is over: nothing more is handled.
  stop() {
    this.stopped = true;
    this.wanted = false;
    this.keys = "";
    this.start_of_line?.dispose();
  }

  end(echo) {
    this.keys = "";
    this.ready = [];
    this.ready_at = 0;
    this.wanted = false;
    this.on_end(echo);
  }

  // Where the cursor is, once every write has been taken in: rows from the
  // line's first one (a marker, which stays right as the scrollback is
  // trimmed) and a column (the number of columns when a character filled
  // the row's last one).
  cursor() {
    const buffer = this.term.buffer.active;
    return { row: buffer.baseY + buffer.cursorY - this.start_of_line.line, x: buffer.cursorX };
  }

  // Handles the keys a character at a time while a line is wanted: Enter
  // readies the line, and with it every whole line pasted after it.
  async handle() {
    if (this.busy) return;
    this.busy = true;
    try {
      while (this.keys.length > 0 && this.wanted && !this.stopped) {
        const [key] = this.keys;
        // The first half of a character outside the BMP waits for its other.
        if (this.keys.length === 1 && key >= "\ud800" && key <= "\udbff") break;
        this.keys = this.keys.slice(key.length);
        if (key === "\r" || key === "\n") this.enter();
        else if (key === kEnd && this.line === "") this.end("\r\n");
        else if (kBackspaces.includes(key)) await this.erase(1);
        else if (key === kKill) await this.erase(this.marks.length);
        else if (key === kWordErase) await this.erase(word_length(Array.from(this.line)));
        else if (key >= " " || key === "\t") await this.echo(key);
      }
    } finally {
      this.busy = false;
    }
  }

  enter() {
    this.ready.push({ text: this.line, echoed: true });
    for (let next; (next = this.keys.search(/[\r\n]/)) >= 0;) {
      // A line with a Ctrl+D may end the input: it is handled key by key.
      if (this.keys.slice(0, next).includes(kEnd)) break;
      this.ready.push({ text: edited(this.keys.slice(0, next)), echoed: false });
      this.keys = this.keys.slice(next + 1);
    }
    this.flow.emit("\r\n");
    this.line = "";
    this.marks = [];
    this.wanted = false;
    this.on_line();
  }

  // Back to where the last `count` characters began, whatever row they
  // wrapped to and however wide they were, and clears what follows.
  async erase(count) {
    if (count === 0 || this.marks.length === 0) return;
    this.line = Array.from(this.line).slice(0, -count).join("");
    const [{ row, x }] = this.marks.splice(-count);
    await this.flow.settled();
    if (this.stopped) return;
    const y = Math.max(1, this.start_of_line.line + row - this.term.buffer.active.baseY + 1);
    this.flow.emit(x < this.term.cols ? `\x1b[${y};${x + 1}H\x1b[J` : `\x1b[${y + 1};1H\x1b[J`);
    this.flow.flush();
  }

  async echo(key) {
    await this.flow.settled();
    if (this.stopped || !this.wanted) return;
    if (this.marks.length === 0) {
      this.start_of_line?.dispose();
      this.start_of_line = this.term.registerMarker(0);
    }
    this.marks.push(this.cursor());
    this.line += key;
    this.flow.emit(key);
    this.flow.flush();
  }
}
