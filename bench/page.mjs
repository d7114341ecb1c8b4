// Times the browser page in headless Chromium, up to the moment the text is
// in the terminal's rows (not the page's own marks):
//  - from opening the page to the first prompt, median of 10 openings;
//  - after sessions of 1, 2,000 and 20,000 compounds (or the counts
//    given), pasted in whole: the time until the last answer is on screen,
//    the JavaScript heap's peak meanwhile (sampled every 100 ms), then one
//    Enter until its answer is on screen, for four Enters (a new compound,
//    its decimals, a symbol, a count);
//  - the page's size.
//   node bench/page.mjs build-web/molagirlik.html [COMPOUNDS...]
import { statSync } from "node:fs";
import { createRequire } from "node:module";
import { resolve } from "node:path";
import { pathToFileURL } from "node:url";

const require = createRequire(new URL("../web/package.json", import.meta.url));
const puppeteer = require("puppeteer-core");
const url = pathToFileURL(resolve(process.argv[2])).href;
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
    until(line) {
      const last = () => {
        const rows = document.querySelector(".xterm-rows")?.innerText
          .replace(/\u00a0/g, " ").split("\n").map((row) => row.trimEnd()) ?? [];
        return rows.filter(Boolean).at(-1);
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
const kPrompt = "   Ondalıklı hane adedini, 0 ile 6 arasında olacak şekilde buraya giriniz:";

const openings = [];
for (let i = 0; i < 10; ++i) {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(watch);
  await page.goto(url);
  openings.push(await page.evaluate((line) => globalThis.bench.until(line), kPrompt));
  await page.close();
}
console.log(`first prompt on screen: ${median(openings).toFixed(0)} ms after opening ` +
  `(median of 10; ${openings.map((t) => t.toFixed(0)).join(", ")})`);

for (const compounds of counts) {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(watch);
  await page.goto(url);
  await page.evaluate((line) => globalThis.bench.until(line), kPrompt);
  // Four lines a compound, the way a user types them.
  const session = "2\nC 6 H 12 O 6\nson\nc\n".repeat(compounds - 1) +
    "2\nC 6 H 12 O 6\nson\n";
  const started = Date.now();
  await page.evaluate(() => {
    globalThis.heap_peak = performance.memory.usedJSHeapSize;
    globalThis.heap_sampler = setInterval(() => {
      globalThis.heap_peak = Math.max(globalThis.heap_peak, performance.memory.usedJSHeapSize);
    }, 100);
  });
  await page.evaluate((text) => {
    const paste = new DataTransfer();
    paste.setData("text/plain", text);
    document.querySelector(".xterm-helper-textarea").dispatchEvent(
      new ClipboardEvent("paste", { clipboardData: paste, bubbles: true }));
  }, session);
  await page.waitForFunction((n) => globalThis.molagirlik_screen()
    .includes(`${n}. bileşiğin molekül kütlesi`), { timeout: 600000, polling: 100 }, compounds);
  await page.evaluate(() => globalThis.bench.until("YENİ BİR MOLEKÜL İÇİN 'c' HARFİNİ GİRİNİZ..."));
  const pasted = Date.now() - started;
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
  const mib = (bytes) => (bytes / 2 ** 20).toFixed(1);
  console.log(`after ${compounds} compounds (pasted and answered in ${pasted} ms, ` +
    `JS heap at most ${mib(peak)} MiB meanwhile): ` +
    `one Enter on screen in ${answers.map((t) => t.toFixed(0)).join(", ")} ms ` +
    `(median ${median(answers).toFixed(0)}); JS heap then ${mib(heap)} MiB`);
  await page.close();
}
await browser.close();
console.log(`the page: ${statSync(process.argv[2]).size} bytes`);
