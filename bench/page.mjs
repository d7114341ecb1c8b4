// Times the browser page in headless Chromium: from opening it to the first
// prompt (median of 10 openings), a session of 200 compounds (or as many as
// given) pasted in whole, and the answer to one Enter after it.
//   node bench/page.mjs build-web/molagirlik.html [COMPOUNDS]
import { createRequire } from "node:module";
import { resolve } from "node:path";
import { pathToFileURL } from "node:url";

const require = createRequire(new URL("../web/package.json", import.meta.url));
const puppeteer = require("puppeteer-core");
const url = pathToFileURL(resolve(process.argv[2])).href;
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
  headless: true,
  args: ["--no-sandbox"],
});
const median = (values) => values.sort((a, b) => a - b)[values.length >> 1];
// The page marks each time it has shown the program's output.
const first_output = () =>
  performance.getEntriesByName("molagirlik-output")[0]?.startTime;
const last_output = () =>
  performance.getEntriesByName("molagirlik-output").at(-1)?.startTime;

const openings = [];
for (let i = 0; i < 10; ++i) {
  const page = await browser.newPage();
  await page.goto(url);
  await page.waitForFunction(first_output);
  openings.push(await page.evaluate(first_output));
  await page.close();
}
console.log(`first prompt: ${median(openings).toFixed(1)} ms after opening ` +
  `(median of 10; ${openings.map((t) => t.toFixed(0)).join(", ")})`);

const page = await browser.newPage();
await page.goto(url);
await page.waitForFunction(first_output);
const compounds = Number(process.argv[3] ?? 200);
// Four lines a compound, the way a user types them.
const session = "2\nC 6 H 12 O 6\nson\nc\n".repeat(compounds - 1) +
  "2\nC 6 H 12 O 6\nson\n";
const started = Date.now();
await page.evaluate((text) => {
  const paste = new DataTransfer();
  paste.setData("text/plain", text);
  document.querySelector(".xterm-helper-textarea").dispatchEvent(
    new ClipboardEvent("paste", { clipboardData: paste, bubbles: true }));
}, session);
await page.waitForFunction(
  (n) => document.body.innerText.includes(`${n}. bileşiğin molekül kütlesi`),
  { timeout: 600000 }, compounds);
const pasted = Date.now() - started;
const output = await page.evaluate(() => document.getElementById("transcript").textContent.length);
const answers = [];
for (const key of ["c", "2", "H"]) {
  await page.keyboard.type(key);
  const before = await page.evaluate(() => performance.now());
  await page.keyboard.press("Enter");
  await page.waitForFunction((t) => performance.getEntriesByName(
    "molagirlik-output").at(-1).startTime > t, {}, before);
  answers.push(await page.evaluate(last_output) - before);
}
console.log(`after ${compounds} compounds (${output} characters on screen, ` +
  `pasted and answered in ${pasted} ms): one Enter answered in ` +
  `${answers.map((t) => t.toFixed(1)).join(", ")} ms`);
await browser.close();
