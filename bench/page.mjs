// Times the browser page in headless Chromium, up to the moment the text is
// in the terminal's rows (not the page's own marks):
//  - from opening the page to the first prompt, median of 10 openings,
//    and the same for the bare terminal page of bench/bare_page.mjs;
//  - after sessions of 1, 2,000 and 20,000 compounds (or the counts
//    given), pasted in whole, median of 3: the time until the last answer
//    is on screen,
//    the JavaScript heap's peak meanwhile (sampled every 100 ms), then one
//    Enter until its answer is on screen, for four Enters (a new compound,
//    its decimals, a symbol, a count);
//  - for the same pastes, a bare xterm of the page's size and options, in
//    the same browser, taking in the program's whole output (from node's
//    WASI) in 16 KiB writes with the page's watermarks: its time, and the
//    page's time over it;
//  - the page's size.
//   node bench/page.mjs build-web/molagirlik.html [COMPOUNDS...]
// The program's .wasm and the terminal are taken from the page's build
// folder.
import { spawnSync } from "node:child_process";
import { existsSync, readFileSync, statSync } from "node:fs";
import { createRequire } from "node:module";
import { resolve } from "node:path";
import { pathToFileURL } from "node:url";

const require = createRequire(new URL("../web/package.json", import.meta.url));
const puppeteer = require("puppeteer-core");
const url = pathToFileURL(resolve(process.argv[2])).href;
const build = resolve(process.argv[2], "..");
const counts = process.argv.length > 3 ? process.argv.slice(3).map(Number)
  : [1, 2000, 20000];
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
  headless: true,
  args: ["--no-sandbox", "--enable-precise-memory-info", "--js-flags=--expose-gc"],
});
const median = (values) => [...values].sort((a, b) => a - b)[values.length >> 1];

// In the page, before it starts: the time at which the rows' last line
// with text first reads `line`, and the time of the last Enter.
function watch() {
  globalThis.bench = {
    enter_at: 0,
    // Once the rows' last line with text reads `line` (and they hold
    // `also`, if given).
    until(line, also = "") {
      const last = () => {
        const rows = document.querySelector(".xterm-rows")?.innerText
          .replace(/\u00a0/g, " ").split("\n").map((row) => row.trimEnd()) ?? [];
        return rows.some((row) => row.includes(also)) ? rows.filter(Boolean).at(-1) : undefined;
      };
      if (last() === line) return Promise.resolve(performance.now());
      return new Promise((done) => {
        const observer = new MutationObserver(() => {
          if (last() !== line) return;
          observer.disconnect();
          done(performance.now());
        });
        observer.observe(document.body, { childList: true, subtree: true, characterData: true });
      });
    },
  };
  document.addEventListener("keydown", (event) => {
    if (event.key === "Enter") globalThis.bench.enter_at = performance.now();
  }, true);
}
// The program's whole output for `session`, under node's WASI.
function program_output(session) {
  const run = spawnSync(process.execPath, ["--no-warnings",
    new URL("../tests/wasi_run.mjs", import.meta.url).pathname, `${build}/molagirlik-utf8.wasm`],
  { input: session, maxBuffer: 1 << 30 });
  return run.stdout;
}
const xterm_folder = `${build}/web/node_modules/@xterm/xterm`;
const xterm = readFileSync(`${xterm_folder}/lib/xterm.mjs`, "utf8")
  .replace(/export\s*\{\s*([\w$]+) as Terminal\s*\};?/, "globalThis.XTerminal = $1;");
const xterm_css = readFileSync(`${xterm_folder}/css/xterm.css`, "utf8");

// A bare xterm of `size` (font size and rows, as the page fitted them)
// takes in `output`: the time from the first write to the last answer on
// screen.
async function bare_xterm(output, size, compounds) {
  const page = await browser.newPage();
  await page.setContent(`<!DOCTYPE html><html><head><meta charset="utf-8">
    <style>${xterm_css}</style></head><body style="margin:0;background:#000">
    <div id="t"></div><script>${xterm}</script></body></html>`);
  await page.evaluate(watch);
  await page.evaluate(() => { globalThis.output = []; });
  const kPiece = 8 << 20;
  for (let at = 0; at < output.length; at += kPiece) {
    await page.evaluate((part) => globalThis.output.push(
      Uint8Array.from(atob(part), (c) => c.charCodeAt(0))), output.subarray(at, at + kPiece).toString("base64"));
  }
  const time = await page.evaluate(async ({ fontSize, rows, last, also }) => {
    const data = new Uint8Array(globalThis.output.reduce((n, part) => n + part.length, 0));
    globalThis.output.reduce((at, part) => (data.set(part, at), at + part.length), 0);
    const term = new XTerminal({ cols: 80, rows, fontSize, convertEol: true, scrollback: 1000,
      lineHeight: 1.3, fontFamily: '"DejaVu Sans Mono", Consolas, Menlo, monospace' });
    term.open(document.getElementById("t"));
    const started = performance.now();
    const shown = globalThis.bench.until(last, also);
    let at = 0;
    let pending = 0;
    const pump = () => {
      while (at < data.length && pending <= 64 * 1024) {
        const piece = data.subarray(at, at + 16 * 1024);
        at += piece.length;
        pending += piece.length;
        term.write(piece, () => {
          pending -= piece.length;
          if (at < data.length && pending < 16 * 1024 && pending + piece.length >= 16 * 1024) pump();
        });
      }
    };
    pump();
    return await shown - started;
  }, { ...size, last: "YENİ BİR MOLEKÜL İÇİN 'c' HARFİNİ GİRİNİZ...",
    also: `${compounds}. bileşiğin molekül kütlesi` });
  await page.close();
  return time;
}

const kPrompt = "   Ondalıklı hane adedini, 0 ile 6 arasında olacak şekilde buraya giriniz:";

// The page, and the bare terminal page of bench/bare_page.mjs beside it
// (build-web/bare/index.html, if built), opened in turns.
const bare_url = pathToFileURL(`${build}/bare/index.html`).href;
const has_bare = existsSync(`${build}/bare/index.html`);
const openings = { page: [], bare: [] };
for (let i = 0; i < 10; ++i) {
  for (const [name, address] of has_bare ? [["page", url], ["bare", bare_url]] : [["page", url]]) {
    const page = await browser.newPage();
    await page.evaluateOnNewDocument(watch);
    await page.goto(address);
    openings[name].push(await page.evaluate((line) => globalThis.bench.until(line), kPrompt));
    await page.close();
  }
}
console.log(`first prompt on screen: ${median(openings.page).toFixed(0)} ms after opening ` +
  `(median of 10; ${openings.page.map((t) => t.toFixed(0)).join(", ")})`);
if (has_bare) {
  console.log(`  the bare terminal page: ${median(openings.bare).toFixed(0)} ms; the page takes ` +
    `${(median(openings.page) / median(openings.bare)).toFixed(2)} times as long`);
}

// One paste of `compounds` on a freshly opened page, then four Enters.
async function paste_run(compounds, session) {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(watch);
  await page.goto(url);
  await page.evaluate((line) => globalThis.bench.until(line), kPrompt);
  await page.evaluate(() => {
    globalThis.heap_peak = performance.memory.usedJSHeapSize;
    globalThis.heap_sampler = setInterval(() => {
      globalThis.heap_peak = Math.max(globalThis.heap_peak, performance.memory.usedJSHeapSize);
    }, 100);
  });
  // Timed in the page, from the paste to the rows that show its last
  // answer, watched as they change.
  const pasted = await page.evaluate((text, n) => {
    const paste = new DataTransfer();
    paste.setData("text/plain", text);
    const at = performance.now();
    const answered = globalThis.bench.until("YENİ BİR MOLEKÜL İÇİN 'c' HARFİNİ GİRİNİZ...",
      `${n}. bileşiğin molekül kütlesi`);
    document.querySelector(".xterm-helper-textarea").dispatchEvent(
      new ClipboardEvent("paste", { clipboardData: paste, bubbles: true }));
    return answered.then((shown) => shown - at);
  }, session, compounds);
  const size = await page.evaluate(() => ({
    fontSize: parseFloat(getComputedStyle(document.querySelector(".xterm-rows")).fontSize),
    rows: document.querySelector(".xterm-rows").children.length }));
  const peak = await page.evaluate(() => (clearInterval(globalThis.heap_sampler), globalThis.heap_peak));
  const answers = [];
  for (const [key, line] of [["c", kPrompt], ["2", "1. elementin sembolü:"],
    ["H", "1. elementin adedi  :"], ["1", "2. elementin sembolü:"]]) {
    await page.keyboard.type(key);
    const shown = page.evaluate((l) => globalThis.bench.until(l), line);
    await page.keyboard.press("Enter");
    answers.push(await shown - await page.evaluate(() => globalThis.bench.enter_at));
  }
  // What stays, once what the runs left behind is collected.
  const heap = await page.evaluate(() => (globalThis.gc?.(), performance.memory?.usedJSHeapSize ?? 0));
  await page.close();
  return { pasted, size, peak, answers, heap };
}

// Three of each, the page's paste and the bare xterm taking turns: medians.
for (const compounds of counts) {
  // Four lines a compound, the way a user types them.
  const session = "2\nC 6 H 12 O 6\nson\nc\n".repeat(compounds - 1) +
    "2\nC 6 H 12 O 6\nson\n";
  const output = program_output(session);
  const runs = [];
  const bares = [];
  for (let i = 0; i < 3; ++i) {
    runs.push(await paste_run(compounds, session));
    bares.push(await bare_xterm(output, runs[0].size, compounds));
  }
  const pasted = median(runs.map((run) => run.pasted));
  const bare = median(bares);
  const { size, answers, heap } = runs[0];
  const peak = Math.max(...runs.map((run) => run.peak));
  const mib = (bytes) => (bytes / 2 ** 20).toFixed(1);
  const ms = (times) => times.map((t) => t.toFixed(0)).join(", ");
  console.log(`after ${compounds} compounds (pasted and answered in ${pasted.toFixed(0)} ms, ` +
    `median of ${ms(runs.map((run) => run.pasted))}; JS heap at most ${mib(peak)} MiB meanwhile): ` +
    `one Enter on screen in ${ms(answers)} ms (median ${median(answers).toFixed(0)}); ` +
    `JS heap then ${mib(heap)} MiB`);
  console.log(`  a bare xterm (${size.rows} rows at ${size.fontSize} px) takes in the same ` +
    `${(output.length / 1e6).toFixed(1)} MB in ${bare.toFixed(0)} ms (median of ${ms(bares)}): ` +
    `the page takes ${(pasted / bare).toFixed(2)} times as long`);
}
await browser.close();
console.log(`the page: ${statSync(process.argv[2]).size} bytes`);
