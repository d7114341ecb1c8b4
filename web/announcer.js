// The live region: what a screen reader says, and what it reads back.
// Owns the log's nodes and what the program said since it last waited.
//
// All the program says between two waits for a line is one announcement,
// said when it waits, so that none is skipped as a newer one comes, none
// comes out of order, and a prompt is said before it is answered. What the
// user typed joins the log silently (the log takes additions only), where
// the screen shows it. The answer to a pasted line that another pasted
// line follows is not said: after a paste, only the last answer is. Rule
// lines are left out, and runs of spaces become one.

const decoder = new TextDecoder();

// The text of what was said, as a listener should hear it.
export function spoken(text) {
  return text.split("\n")
    .filter((line) => !/^[-*^=+ ]*$/.test(line))
    .map((line) => line.replace(/[ \t]+/g, " ").trim())
    .filter((line) => line !== "")
    .join("\n");
}

export class Announcer {
  // `region` is the log; `bound` is about how many characters it keeps.
  constructor(region, { bound = 80 * 1000 } = {}) {
    this.region = region;
    this.bound = bound;
    this.heard = new Uint8Array(4096);  // the program's output since it last waited
    this.heard_size = 0;
    this.size = 0;       // characters in the log
    this.open = false;   // the last announcement awaits what is typed
  }

  // What the program wrote (bytes that need not outlive the call).
  hear(bytes) {
    if (this.heard_size + bytes.length > this.heard.length) {
      const larger = new Uint8Array(2 * (this.heard_size + bytes.length));
      larger.set(this.heard.subarray(0, this.heard_size));
      this.heard = larger;
    }
    this.heard.set(bytes, this.heard_size);
    this.heard_size += bytes.length;
  }

  // What the program said since the last line it read is no answer anyone
  // waits for: a pasted line follows.
  drop() {
    this.heard_size = 0;
    this.open = false;
  }

  // A line the user typed, after the prompt it answers, not said again.
  typed(text) {
    if (!this.open || text === "") return;
    const said = this.region.lastChild;
    said.append(document.createTextNode(` ${text}`));
    this.size += text.length + 1;
    this.open = false;
  }

  // Says, in one announcement, what the program said since it last waited.
  speak() {
    let text = spoken(decoder.decode(this.heard.subarray(0, this.heard_size)));
    this.heard_size = 0;
    if (text === "") return;
    // Of an announcement longer than the log keeps, its end.
    if (text.length > this.bound) text = text.slice(-this.bound);
    const said = document.createElement("div");
    said.textContent = text;
    this.region.append(said);
    this.size += text.length;
    while (this.size > this.bound && this.region.childNodes.length > 1) {
      this.size -= this.region.firstChild.textContent.length;
      this.region.firstChild.remove();
    }
    this.open = true;
  }

  clear() {
    this.heard_size = 0;
    this.open = false;
    this.size = 0;
    this.region.textContent = "";
  }
}
