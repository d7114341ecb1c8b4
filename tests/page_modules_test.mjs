// The page's modules where a browser adds nothing, under node's own test
// runner: the line discipline against a fake terminal, the output's flow
// against a terminal that takes its writes when told, the announcer
// against a small stand-in for the DOM, and the program's runner with the
// program itself.
//   MOLAGIRLIK_WASM=build-web/molagirlik-utf8.wasm node --test tests/page_modules_test.mjs
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { test } from "node:test";

import { Announcer } from "../web/announcer.js";
import { Flow } from "../web/flow.js";
import { LineDiscipline } from "../web/line_discipline.js";
import { Program, kWait } from "../web/program.js";

// A terminal whose cursor stays put: enough for lines and their echo.
const terminal = { cols: 80, buffer: { active: { baseY: 0, cursorY: 0, cursorX: 0 } },
                   registerMarker: () => ({ line: 0, dispose() {} }) };

test("the line discipline hands over each line once, edited", async () => {
  const cases = [
    // [what the terminal gave, event by event; the lines handed over]
    [["2\r", "\nH 1\r"], ["2", "H 1"]],          // CR, then LF in another event
    [["2\r\nH 1\r\nson\r\n"], ["2", "H 1", "son"]],  // a pasted CRLF
    [["2\n\nH\r\r"], ["2", "", "H", ""]],
    [["Hx\x7f 2\r"], ["H 2"]],                  // typed ahead, then wanted
    [["Hx\x7f 2\r", "Ox\x7f\x7f\x7fO\r"], ["H 2", "O"]],
    [["H😀\x7f\r"], ["H"]],                    // an emoji erased whole
    [["H\ud83d", "\ude00\x7f\r"], ["H"]],        // and in two halves
    [["a\tb", "\x1b[A", "\r"], ["a\tb"]],     // an arrow key edits nothing
    // Lines typed ahead, edited as when typed: a Tab beside a Backspace,
    // Ctrl+U, Ctrl+W; a Ctrl+D at the start of one ends the input there.
    [["\rH\t2\x7f3\r"], ["", "H\t3"]],
    [["\rHe 2\x15O 1\r"], ["", "O 1"]],
    [["\rO 12\x17\x17\r"], ["", ""]],
    [["\rson\r\x04H\r"], ["", "son", "(end)"]],
    [["Ca 1\x17\x172", "\x15H 2\r"], ["H 2"]],  // and typed
  ];
  for (const [events, lines] of cases) {
    const got = [];
    const flow = new Flow((bytes, done) => done());
    const discipline = new LineDiscipline(terminal, flow, {
      on_line: () => {
        for (let line; (line = discipline.take()) !== null;) got.push(line.text);
        discipline.want();
      },
      on_end: () => got.push("(end)"),
    });
    for (const data of events) discipline.data(data);
    discipline.want();
    await new Promise((done) => setTimeout(done, 10));
    assert.deepEqual(got, lines, JSON.stringify(events));
  }
});

test("the flow holds the program back from its high mark to its low", () => {
  const waiting = [];  // the terminal's callbacks, one a write
  const flow = new Flow((bytes, done) => waiting.push(done), { high: 64, low: 20, batch: 16 });
  for (let i = 0; i < 7; ++i) {
    flow.emit("x".repeat(16));
    flow.flush(false);
  }
  assert.ok(flow.full(), `${flow.pending} pending`);
  const told = [];
  flow.when_low(() => told.push(flow.pending));
  while (waiting.length > 0) waiting.shift()();
  assert.deepEqual(told, [16]);  // once, at the first write below the low mark
});

// Just enough of the DOM for the announcer.
class Node {
  constructor(text = "") { this.text = text; this.childNodes = []; this.parent = null; }
  get textContent() { return this.text + this.childNodes.map((n) => n.textContent).join(""); }
  set textContent(text) { this.text = text; this.childNodes = []; }
  get firstChild() { return this.childNodes[0]; }
  get lastChild() { return this.childNodes.at(-1); }
  append(node) { node.parent = this; this.childNodes.push(node); }
  remove() { this.parent.childNodes.splice(this.parent.childNodes.indexOf(this), 1); }
}
globalThis.document = { createElement: () => new Node(), createTextNode: (text) => new Node(text) };
const bytes = (text) => new TextEncoder().encode(text);

test("the announcer says each wait's words once, and keeps the log's end", () => {
  const live = new Node();
  const region = new Node();
  const announcer = new Announcer(live, region, { bound: 60 });
  const said = () => region.childNodes.map((n) => n.textContent);
  announcer.hear(bytes("          BAŞLIK   ORTADA\n*-*-*-*-*\n\n1. elementin sembolü: "));
  announcer.speak();
  assert.deepEqual(said(), ["BAŞLIK ORTADA\n1. elementin sembolü:"]);
  announcer.typed("H");
  announcer.typed("He");  // no second answer to the same prompt
  assert.deepEqual(said(), ["BAŞLIK ORTADA\n1. elementin sembolü: H"]);
  // A pasted line's answer that another follows is dropped.
  announcer.hear(bytes("1. elementin adedi  : "));
  announcer.drop();
  announcer.hear(bytes("2. elementin sembolü: "));
  announcer.speak();
  assert.deepEqual(said().at(-1), "2. elementin sembolü:");
  // The live region holds the latest announcement alone.
  assert.deepEqual(live.childNodes.map((n) => n.textContent), ["2. elementin sembolü:"]);
  // Older announcements go as the log passes its bound; of one longer than
  // the bound, its end stays.
  announcer.hear(bytes(`${"a".repeat(50)}${"b".repeat(50)}`));
  announcer.speak();
  assert.deepEqual(said(), [`${"a".repeat(10)}${"b".repeat(50)}`]);
});

test("the program runs, waits at a read and goes on from it", { skip: !process.env.MOLAGIRLIK_WASM }, async () => {
  const golden = new URL("golden/", import.meta.url);
  const lines = readFileSync(new URL("water.in", golden), "utf8").split(/(?<=\n)/);
  const written = [];
  let waits = 0;
  let program = null;
  const io = {
    // Waits before each line; the memory grows before the third, as a
    // program's heap may, and the views of it are made again.
    input: () => {
      if (++waits % 2 === 1) return kWait;
      if (waits === 6) program.calls.memory.grow(1);
      return lines.length > 0 ? bytes(lines.shift()) : null;
    },
    output: (piece) => written.push(piece.slice()),
    error: (piece) => assert.fail(new TextDecoder().decode(piece)),
  };
  const module = await WebAssembly.compile(readFileSync(process.env.MOLAGIRLIK_WASM));
  program = await Program.start(module, io);
  let runs = 1;
  while (!program.run()) ++runs;
  assert.equal(program.status, 0);
  assert.ok(runs > 2, `${runs} runs`);
  assert.equal(Buffer.concat(written).toString(), readFileSync(new URL("water.out", golden), "utf8"));
});

test("inflate unpacks what zlib packs, and refuses what is broken", async () => {
  const { deflateRawSync, constants } = await import("node:zlib");
  const { inflate } = await import("../web/inflate.js");
  // Stored, fixed and dynamic blocks; long matches; a block border.
  const texts = [Buffer.alloc(0), Buffer.from("a"), Buffer.from("HHO ".repeat(30000)),
    Buffer.from(Array.from({ length: 70000 }, (_, i) => (i * 7919) % 251)),
    readFileSync(new URL("../web/inflate.js", import.meta.url))];
  for (const text of texts) {
    for (const [level, strategy] of [[0, constants.Z_DEFAULT_STRATEGY], [9, constants.Z_FIXED],
      [9, constants.Z_DEFAULT_STRATEGY], [1, constants.Z_HUFFMAN_ONLY]]) {
      const unpacked = inflate(deflateRawSync(text, { level, strategy }));
      assert.ok(Buffer.from(unpacked).equals(text), `${text.length} bytes, level ${level}, strategy ${strategy}`);
    }
  }
  const packed = deflateRawSync(texts[2]);
  assert.throws(() => inflate(packed.subarray(0, packed.length - 3)), /ends early/);
  assert.throws(() => inflate(Uint8Array.of(0b111)), /unknown type/);
  assert.throws(() => inflate(Uint8Array.of(0, 5, 0, 5, 0)), /stored length garbled/);
});
