// The page's line discipline against the kernel's: key sequences that
// fast-check draws are typed into LineDiscipline and into a pty in canonical
// mode (tests/pty_lines.py), and the lines a program reads must be the same.
// A failure is shrunk to the fewest keys that still differ.
//   node --test tests/line_editing_test.mjs
//   MOLAGIRLIK_SEED=N node --test tests/line_editing_test.mjs   (one run again)
import { spawn, spawnSync } from "node:child_process";
import { createInterface } from "node:readline";
import { createRequire } from "node:module";
import { test } from "node:test";

import { Flow } from "../web/flow.js";
import { LineDiscipline } from "../web/line_discipline.js";

const require = createRequire(new URL("../web/package.json", import.meta.url));
const fc = require("fast-check");
const model = new URL("pty_lines.py", import.meta.url).pathname;

// Where the page differs from the kernel by design, the keys are left out:
// - a CRLF, which a phone sends for Enter, is one Enter (the kernel reads
//   two lines): Enter is a CR;
// - Ctrl+C ends the input (the kernel raises a signal): left out;
// - Ctrl+D on a line with text does nothing (the kernel hands the text
//   over unfinished): a Ctrl+D is kept only at the start of a line;
// - Backspace over a wrapped row goes back up a row, which a real terminal's
//   echo cannot do: only the echo differs, not the lines read.
const kKeys = {
  letters: ["H", "O", "s", "o", "n", "C", "l", "a", "_", ".", "-"],
  turkish: ["ç", "ğ", "ı", "İ", "ö", "ş", "ü", "Ç", "Ş"],
  other: ["😀", "\u0301"],  // an emoji; a combining acute accent
  digits: ["0", "1", "2", "7"],
  space: [" ", "\t"],
  erase: ["\x7f"],          // xterm's Backspace
  enter: ["\r"],
  kill: ["\x15", "\x17"],   // Ctrl+U, Ctrl+W
  end: ["\x04"],            // Ctrl+D
};
const key = fc.oneof(
  { weight: 6, arbitrary: fc.constantFrom(...kKeys.letters) },
  { weight: 3, arbitrary: fc.constantFrom(...kKeys.turkish) },
  { weight: 1, arbitrary: fc.constantFrom(...kKeys.other) },
  { weight: 2, arbitrary: fc.constantFrom(...kKeys.digits) },
  { weight: 3, arbitrary: fc.constantFrom(...kKeys.space) },
  { weight: 4, arbitrary: fc.constantFrom(...kKeys.erase) },
  { weight: 3, arbitrary: fc.constantFrom(...kKeys.enter) },
  { weight: 2, arbitrary: fc.constantFrom(...kKeys.kill) },
  { weight: 1, arbitrary: fc.constantFrom(...kKeys.end) },
);
// Keys, with a Ctrl+D kept only at the start of a line, and how they come:
// one event a key (typed), all in one (pasted: the lines after the first
// are typed ahead), or in pieces.
const session = fc
  .record({
    keys: fc.array(key, { maxLength: 40 }),
    how: fc.oneof(fc.constant("typed"), fc.constant("pasted"),
                  fc.array(fc.nat(40), { minLength: 1, maxLength: 6 })),
  })
  .map(({ keys, how }) => {
    const kept = keys.filter((k, i) => k !== "\x04" || i === 0 || keys[i - 1] === "\r");
    if (how === "typed") return kept;
    const cuts = how === "pasted" ? [] : [...new Set(how.map((cut) => cut % (kept.length + 1)))];
    const events = [];
    let from = 0;
    for (const cut of [...cuts.sort((a, b) => a - b), kept.length]) {
      if (cut > from) events.push(kept.slice(from, cut).join(""));
      from = cut;
    }
    return events;
  });

// A terminal whose cursor stays put: enough for lines and their echo.
const terminal = { cols: 80, buffer: { active: { baseY: 0, cursorY: 0, cursorX: 0 } },
                   registerMarker: () => ({ line: 0, dispose() {} }) };

// The lines a program reads from the page's line discipline, the events
// given one after another as the terminal gives them.
async function page_lines(events) {
  const got = [];
  const flow = new Flow((bytes, done) => done());
  const discipline = new LineDiscipline(terminal, flow, {
    on_line: () => {
      for (let line; (line = discipline.take()) !== null;) got.push(line.text);
      discipline.want();
    },
    on_end: () => got.push("(end)"),
  });
  discipline.want();
  for (const data of events) {
    discipline.data(data);
    await new Promise((done) => setImmediate(done));
  }
  await new Promise((done) => setTimeout(done, 1));
  return got;
}

// The kernel's, from one pty_lines.py for the whole run.
function kernel() {
  const child = spawn("python3", [model], { stdio: ["pipe", "pipe", "inherit"] });
  const answers = createInterface({ input: child.stdout });
  const waiting = [];
  answers.on("line", (line) => waiting.shift()(JSON.parse(line)));
  return {
    lines: (keys) => new Promise((done) => {
      waiting.push(done);
      child.stdin.write(`${JSON.stringify(keys)}\n`);
    }),
    close: () => child.stdin.end(),
  };
}

const no_pty = spawnSync("python3", [model], { input: "" }).status === 77;
test("the lines read are the kernel's", { skip: no_pty && "no pty can be opened here" }, async () => {
  const seed = Number(process.env.MOLAGIRLIK_SEED ?? Date.now() % 2 ** 31);
  const runs = Number(process.env.MOLAGIRLIK_RUNS ?? 1000);
  console.log(`line editing against the kernel: ${runs} cases, seed ${seed}`);
  const model_run = kernel();
  try {
    await fc.assert(fc.asyncProperty(session, async (events) => {
      const expected = await model_run.lines(events.join(""));
      const got = await page_lines(events);
      if (JSON.stringify(got) !== JSON.stringify(expected)) {
        throw new Error(`the page read ${JSON.stringify(got)}, the kernel ${JSON.stringify(expected)}`);
      }
    }), { seed, numRuns: runs });
  } catch (error) {
    console.log(error.cause?.message ?? "");
    console.log(`to replay: MOLAGIRLIK_SEED=${seed} node --test tests/line_editing_test.mjs`);
    throw error;
  } finally {
    model_run.close();
  }
});
