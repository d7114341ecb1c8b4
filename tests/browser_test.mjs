// The page in headless Chromium, opened as a local file: a person types the
// water session key by key, a second compound, pastes a word that is no
// symbol and the end word, and ends the program.
//   node tests/browser_test.mjs PAGE.html SCREENSHOT.png
import { createRequire } from "node:module";
import { resolve } from "node:path";
import { pathToFileURL } from "node:url";

const require = createRequire(new URL("../web/package.json", import.meta.url));
const puppeteer = require("puppeteer-core");
const [page_file, screenshot] = process.argv.slice(2);

const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
  headless: true,
  // CI runs as root, where Chromium's sandbox cannot start.
  args: ["--no-sandbox"],
});
let failed = false;
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 900, height: 760 });
  page.on("pageerror", (error) => { failed = true; console.log(`page error: ${error}`); });
  await page.goto(pathToFileURL(resolve(page_file)).href);
  // Waits until the page's text holds `text`, `times` times.
  const shown = (text, times = 1) => page.waitForFunction(
    (t, n) => document.body.innerText.split(t).length > n,
    { timeout: 10000 }, text, times);
  const type_line = async (text) => {
    await page.keyboard.type(text);
    await page.keyboard.press("Enter");
  };

  await shown("buraya giriniz:");
  await type_line("2");
  // Backspace takes back a typed key.
  await page.keyboard.type("Hx");
  await page.keyboard.press("Backspace");
  await page.keyboard.press("Enter");
  for (const entry of ["2", "O", "1", "son"]) await type_line(entry);
  await shown("1. bileşiğin molekül kütlesi: 18.02");
  await shown("MOLEKÜL AĞIRLIĞI HESAPLAMA");

  await type_line("c");
  await shown("buraya giriniz:", 2);
  await type_line("6");
  await type_line("C 6 H 12 O 6");
  // Two lines pasted at once are answered as if typed one after the other.
  await page.evaluate(() => {
    const paste = new DataTransfer();
    paste.setData("text/plain", "Çay\nson\n");
    document.querySelector(".xterm-helper-textarea").dispatchEvent(
      new ClipboardEvent("paste", { clipboardData: paste, bubbles: true, cancelable: true }));
  });
  await page.waitForFunction((text) => document.getElementById("transcript")
    .textContent.includes(text), { timeout: 10000 },
    "4. elementin sembolü: Çay\n\nUYARI: Çay geçerli bir element sembolü değil!\n" +
    "Lütfen element sembolünü tekrar giriniz...\n\n4. elementin sembolü: son\n");
  await shown("2. bileşiğin molekül kütlesi: 180.155884");
  await page.keyboard.press("Enter");
  await shown("Program sona erdi.");
  const focused = await page.evaluate(() => document.activeElement.textContent);
  if (focused !== "Yeniden başlat") throw new Error(`focus on "${focused}"`);
  await page.screenshot({ path: screenshot });
} catch (error) {
  failed = true;
  console.log(`FAIL: ${error.message}`);
} finally {
  await browser.close();
}
if (failed) process.exit(1);
console.log(`the page ran the dialogue in Chromium; screenshot: ${screenshot}`);
