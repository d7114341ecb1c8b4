// The page's screen against a real terminal's: whole water sessions, with
// mistakes and their erasures (Backspace, Ctrl+W, Ctrl+U), are typed into
// the page in Chromium and into molagirlik-utf8 in tmux, a line after each
// prompt, and the rows must be the same. fast-check draws the sessions and
// shrinks a difference to the fewest keys that show it. Lines stay shorter
// than a row: over a wrapped row the page's Backspace goes back up, which a
// terminal's echo cannot do. Emoji and Tabs are left out: their width and
// stops are the renderer's, not the line discipline's. Typing stops when the
// program ends (an answer other than 'c' at the last question): a
// terminal's shell would echo what follows, and the page has none.
//   node tests/screen_model_test.mjs PAGE.html PROGRAM [RUNS]
//   MOLAGIRLIK_SEED=N ...   (one run again)
import { execFileSync } from "node:child_process";
import { createRequire } from "node:module";
import { resolve } from "node:path";
import { pathToFileURL } from "node:url";

const require = createRequire(new URL("../web/package.json", import.meta.url));
const fc = require("fast-check");
const puppeteer = require("puppeteer-core");
const [page_file, program, runs = "25"] = process.argv.slice(2);
const seed = Number(process.env.MOLAGIRLIK_SEED ?? Date.now() % 2 ** 31);
const socket = `molagirlik-screen-${process.pid}`;
const tmux = (...args) => execFileSync("tmux", ["-L", socket, ...args], { encoding: "utf8" });
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

// An entry typed with a mistake erased: extra letters and Backspaces, a
// wrong word and Ctrl+W, or a wrong start and Ctrl+U.
const word = fc.constantFrom("x", "Hx", "ç", "ğüş", "İı", "12", "so", "Öö Çç");
const entry = (text) => fc.oneof(
  { withCrossShrink: true },
  fc.constant(text),
  word.map((w) => `${text}${w}${"\x7f".repeat(Array.from(w).length)}`),
  word.map((w) => `${text} ${w}\x17`),
  word.map((w) => `${w}\x15${text}`),
  fc.constant(`${text}\x7f\x7f\x7f${text}`),  // erased past its start, typed again
);
// The answers of a water session, or of a session with wrong words in it.
const session = fc.tuple(entry("2"), entry("H"), entry("2"), entry("O"), entry("1"),
  fc.oneof({ withCrossShrink: true }, entry("son"), fc.constant("Xy"), entry("ş 2")), entry("son"));

// The rows, each without its trailing blanks, without blank rows at the end.
const rows = (text) => text.split("\n").map((row) => row.trimEnd()).join("\n").trimEnd();
async function settled(read) {
  let last = null;
  for (let i = 0; i < 100; ++i) {
    const now = await read();
    if (now === last) return now;
    last = now;
    await sleep(60);
  }
  return last;
}

const browser = await puppeteer.launch({ headless: true, executablePath: "/usr/bin/chromium",
                                         args: ["--no-sandbox"] });
const page = await browser.newPage();
await page.setViewport({ width: 1280, height: 800 });
const page_screen = async () => rows(await page.evaluate(() => globalThis.molagirlik_screen()));
const terminal_screen = () => rows(tmux("capture-pane", "-p", "-t", "model", "-S", "-5000"));

async function type(lines) {
  await page.goto(pathToFileURL(resolve(page_file)).href);
  tmux("-f", "/dev/null", "new-session", "-d", "-s", "model", "-x", "80", "-y", "24",
       `stty iutf8; ${program}; sleep 600`);
  try {
    await settled(page_screen);
    await settled(terminal_screen);
    for (const keys of lines) {
      for (const key of Array.from(`${keys}\r`)) {
        if (key === "\x7f") await page.keyboard.press("Backspace");
        else if (key === "\r") await page.keyboard.press("Enter");
        else if (key < " ") {
          await page.keyboard.down("Control");
          await page.keyboard.press(key === "\x15" ? "u" : "w");
          await page.keyboard.up("Control");
        } else await page.keyboard.sendCharacter(key);
      }
      tmux("send-keys", "-t", "model", "-H", ...Buffer.from(`${keys}\r`).toString("hex").match(/../g));
      const [shown, model] = [await settled(page_screen), await settled(terminal_screen)];
      if (shown !== model) return { shown, model };
      // Once the program has ended a terminal's shell would take the keys;
      // the page has none, and says so below the terminal.
      if (await page.evaluate(() => document.getElementById("end-text").textContent !== "")) break;
    }
    return null;
  } finally {
    tmux("kill-server");
  }
}

console.log(`the page's screen against tmux: ${runs} sessions, seed ${seed}`);
let failed = false;
try {
  await fc.assert(fc.asyncProperty(session, async (lines) => {
    const difference = await type(lines);
    if (difference) {
      const a = difference.shown.split("\n");
      const b = difference.model.split("\n");
      let row = a.findIndex((line, i) => line !== b[i]);
      if (row < 0) row = Math.min(a.length, b.length);
      throw new Error(`row ${row + 1}: the page shows ${JSON.stringify(a[row] ?? "")}, ` +
        `the terminal ${JSON.stringify(b[row] ?? "")}`);
    }
  }), { seed, numRuns: Number(runs) });
  console.log("1 passed, 0 failed");
} catch (error) {
  failed = true;
  console.log(error.message);
  console.log(error.cause?.message ?? "");
  console.log(`to replay: MOLAGIRLIK_SEED=${seed} node tests/screen_model_test.mjs ${process.argv.slice(2).join(" ")}`);
  console.log("0 passed, 1 failed");
} finally {
  await browser.close();
}
process.exit(failed ? 1 : 0);
