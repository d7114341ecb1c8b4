// The output's flow into the terminal. Owns the bytes not yet handed over
// (sent in pieces of about a batch) and the count handed over and not yet
// taken in: above the high mark the program must wait, and it is told to
// go on once the count is below the low mark again.

export class Flow {
  // `write(bytes, done)` hands bytes to the terminal and calls `done` once
  // it has taken them in.
  constructor(write, { high = 64 * 1024, low = 16 * 1024, batch = 16 * 1024 } = {}) {
    this.write = write;
    this.high = high;
    this.low = low;
    this.batch = batch;
    this.bytes = new Uint8Array(2 * batch);  // emitted, not yet handed over
    this.size = 0;
    this.spare = [];    // buffers the terminal has taken in
    this.pending = 0;   // handed over, not yet taken in
    this.settled_waiters = [];
    this.low_waiter = null;
    this.encoder = new TextEncoder();
  }

  // Copies `data`: a string, or bytes that need not outlive the call.
  emit(data) {
    if (typeof data === "string") this.emit_text(data);
    else this.emit_bytes(data);
  }

  emit_bytes(bytes) {
    this.room(bytes.length);
    this.bytes.set(bytes, this.size);
    this.size += bytes.length;
  }

  emit_text(text) {
    this.room(3 * text.length);
    this.size += this.encoder.encodeInto(text, this.bytes.subarray(this.size)).written;
  }

  room(more) {
    if (this.size + more <= this.bytes.length) return;
    const larger = new Uint8Array(Math.max(2 * this.bytes.length, this.size + more));
    larger.set(this.bytes.subarray(0, this.size));
    this.bytes = larger;
  }

  // Hands over what was emitted: all of it, or only a whole batch. The
  // terminal keeps the bytes until it takes them in, and then their buffer
  // serves again: a buffer newly allocated costs more to fill than a copy.
  flush(whole = true) {
    if (this.size === 0 || (!whole && this.size < this.batch)) return;
    const buffer = this.bytes;
    const bytes = buffer.subarray(0, this.size);
    this.bytes = this.spare.pop() ?? new Uint8Array(2 * this.batch);
    this.size = 0;
    this.pending += bytes.length;
    this.write(bytes, () => {
      if (this.spare.length < 8) this.spare.push(buffer);
      this.taken(bytes.length);
    });
  }

  taken(count) {
    this.pending -= count;
    if (this.pending === 0) for (const done of this.settled_waiters.splice(0)) done();
    if (this.low_waiter && this.pending < this.low) {
      const go_on = this.low_waiter;
      this.low_waiter = null;
      go_on();
    }
  }

  // Whether the program must wait before it writes more.
  full() {
    return this.pending > this.high;
  }

  // Calls `go_on` once, when what is pending falls below the low mark.
  when_low(go_on) {
    this.low_waiter = go_on;
  }

  // Done once the terminal has taken in everything emitted so far.
  settled() {
    this.flush();
    return this.pending === 0 ? Promise.resolve()
      : new Promise((done) => this.settled_waiters.push(done));
  }
}
