// What a screen reader says, and what it reads back. Owns the live region,
// the log (a transcript of the session, not live) and what the program
// said since it last waited.
//
// All the program says between two waits for a line is one announcement,
// said when it waits, so that none is skipped as a newer one comes, none
// comes out of order, and a prompt is said before it is answered. The live
// region holds the latest announcement alone. The log keeps them all, with
// what the user typed after the prompt it answers, as the screen shows it:
// the log is not live, as a screen reader says any text added to a live
// region, and the keys were said as they were typed. The answer to a
// pasted line that another pasted line follows is not said: after a paste,
// only the last answer is. Rule lines are left out, and runs of spaces
// become one.

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
  // `live` is the live region, `region` the log; `bound` is about how many
  // characters the log keeps.
  constructor(live, region, { bound = 80 * 1000 } = {}) {
    this.live = live;
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
    const now = document.createElement("div");
    now.textContent = text;
    this.live.append(now);
    while (this.live.firstChild !== now) this.live.firstChild.remove();
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
    this.live.textContent = "";
  }
}
