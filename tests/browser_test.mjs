// The page, opened as a local file in Chromium and in Firefox, each at a
// desktop's size and at a phone's: a person types, edits, pastes, copies
// and restarts, and the test reads what the terminal's rows show. axe-core
// audits the page at the first prompt, in mid-session and at the end.
//   node tests/browser_test.mjs PAGE.html SCREENSHOT_FOLDER
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { resolve } from "node:path";
import { pathToFileURL } from "node:url";

const require = createRequire(new URL("../web/package.json", import.meta.url));
const puppeteer = require("puppeteer-core");
const axe = readFileSync(require.resolve("axe-core/axe.min.js"), "utf8");
const [page_file, shots] = process.argv.slice(2);
const url = pathToFileURL(resolve(page_file)).href;

const browsers = {
  Chromium: { executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
              // CI runs as root, where Chromium's sandbox cannot start.
              args: ["--no-sandbox"] },
  Firefox: { browser: "firefox",
             executablePath: process.env.FIREFOX ?? "/usr/bin/firefox-esr" },
};
const sizes = {
  desktop: { width: 1280, height: 800 },
  phone: { width: 390, height: 844, isMobile: true, hasTouch: true, deviceScaleFactor: 3 },
};

// Pastes `text` as the browser does. Firefox hands a page's own
// DataTransfer over empty, so there the text comes as one input event, as
// from a phone keyboard.
async function paste(page, text) {
  await page.evaluate((lines, firefox) => {
    const area = document.querySelector(".xterm-helper-textarea");
    if (firefox) {
      area.dispatchEvent(new InputEvent("input", { data: lines, inputType: "insertText" }));
      return;
    }
    const data = new DataTransfer();
    data.setData("text/plain", lines);
    area.dispatchEvent(new ClipboardEvent("paste", { clipboardData: data, bubbles: true, cancelable: true }));
  }, text, /firefox/i.test(await page.browser().version()));
}

async function session(page, name) {
  const keys = page.keyboard;
  // The terminal's visible rows, as the user reads them.
  const rows = () => page.evaluate(() => document.querySelector(".xterm-rows")
    .innerText.replace(/\u00a0/g, " ").split("\n").map((row) => row.trimEnd()));
  // Waits until the rows hold each of `lines`, whole.
  const shows = async (...lines) => {
    try {
      await page.waitForFunction((wanted) => {
        const now = document.querySelector(".xterm-rows").innerText
          .replace(/\u00a0/g, " ").split("\n").map((row) => row.trimEnd());
        return wanted.every((line) => now.includes(line));
      }, { timeout: 10000 }, lines);
    } catch {
      const now = await rows();
      throw new Error(`the rows lack "${lines.find((line) => !now.includes(line))}";` +
        ` they end:\n${now.filter(Boolean).slice(-8).join("\n")}`);
    }
  };
  const enter = async (...lines) => {
    for (const line of lines) {
      await keys.type(line);
      await keys.press("Enter");
    }
  };
  const audit = async (when) => {
    await page.evaluate(axe);
    const found = await page.evaluate(async () => (await globalThis.axe.run())
      .violations.map((v) => `${v.id} (${v.impact}): ${v.nodes.length} places`));
    if (found.length > 0) throw new Error(`axe-core ${when}: ${found.join("; ")}`);
  };
  // Where `text` stands on the screen, in CSS pixels, in the first row
  // that shows it.
  const where = (text) => page.evaluate((wanted) => {
    const row = [...document.querySelectorAll(".xterm-rows > div")]
      .find((r) => r.textContent.includes(wanted));
    const rect = row.getBoundingClientRect();
    const cell = rect.width / 80;
    const column = row.textContent.indexOf(wanted);
    return { left: rect.left + column * cell, right: rect.left + (column + wanted.length) * cell,
             y: rect.top + rect.height / 2, width: document.documentElement.clientWidth };
  }, text);
  const press = async (modifier, key) => {
    await keys.down(modifier);
    await keys.press(key);
    await keys.up(modifier);
  };

  await shows("   Ondalıklı hane adedini, 0 ile 6 arasında olacak şekilde buraya giriniz:");
  await audit("at the first prompt");
  await enter("2");
  // Backspace takes back a key on screen, and on an empty line nothing;
  // an arrow key types nothing.
  await keys.type("Hx");
  await keys.press("Backspace");
  await keys.press("Enter");
  await keys.press("Backspace");
  await keys.press("ArrowUp");
  await enter("2");
  await shows("1. elementin sembolü: H", "1. elementin adedi  : 2");
  // Backspace across a line that wrapped past the 80th column.
  await keys.press("Backspace");
  await keys.type("O" + "x".repeat(90));
  for (let i = 0; i < 90; ++i) await keys.press("Backspace");
  await keys.press("Enter");
  await enter("1", "son");
  await shows("2. elementin sembolü: O", "2. elementin adedi  : 1",
    "                     1. bileşiğin molekül kütlesi: 18.02");
  if ((await rows()).some((row) => row.includes("xx"))) throw new Error("x left on screen");
  // The result lies inside the viewport, whatever its width.
  const place = await where("18.02");
  if (place.left < 0 || place.right > place.width) {
    throw new Error(`18.02 lies at ${place.left}..${place.right} of ${place.width} px`);
  }
  await audit("in mid-session");
  await page.screenshot({ path: `${shots}/${name}.png` });

  // A second compound: a phone keyboard's text, lines pasted together, and
  // lines pasted past the end, which the program no longer reads.
  await enter("c", "6", "C 6 H 12 O 6");
  await shows("4. elementin sembolü:");
  // Ctrl+C copies a word selected on screen, Ctrl+V pastes it.
  const word = await where("PROGRAMI");
  await page.mouse.move(word.left + 2, word.y);
  await page.mouse.down();
  await page.mouse.move(word.right - 2, word.y, { steps: 4 });
  await page.mouse.up();
  await press("Control", "c");
  await press("Control", "v");
  await keys.press("Enter");
  await shows("4. elementin sembolü: PROGRAMI");
  for (const letter of "Çay") await keys.sendCharacter(letter);
  await keys.press("Enter");
  await shows("4. elementin sembolü: Çay", "UYARI: Çay geçerli bir element sembolü değil!");
  await paste(page, "son\n\nfazla\n");
  await shows("                     2. bileşiğin molekül kütlesi: 180.155884");
  await page.waitForFunction(() =>
    document.getElementById("end-text").textContent === "Program sona erdi.");
  const screen = await page.evaluate(() => globalThis.molagirlik_screen());
  if (screen.includes("fazla")) throw new Error("a line past the end was echoed");
  if (!screen.endsWith("YENİ BİR MOLEKÜL İÇİN 'c' HARFİNİ GİRİNİZ...")) {
    throw new Error(`the screen ends "${screen.slice(-80)}"`);
  }
  if (await page.evaluate(() => document.activeElement.id) !== "again") {
    throw new Error("the restart button has no focus at the end");
  }
  await audit("at the end");

  // Started again: one banner, the keyboard in the terminal, Tab to the
  // button and back, and Ctrl+C ends the input.
  await keys.press("Enter");
  await page.waitForFunction(() => globalThis.molagirlik_screen().endsWith("giriniz:"));
  const again = await page.evaluate(() => globalThis.molagirlik_screen());
  if (again.split("PROGRAMI").length !== 2) throw new Error(`after a restart:\n${again}`);
  await keys.press("Tab");
  const tabbed = await page.evaluate(() => document.activeElement.id);
  await press("Shift", "Tab");
  await enter("3");
  await shows("   Ondalıklı hane adedini, 0 ile 6 arasında olacak şekilde buraya giriniz: 3");
  if (tabbed !== "again") throw new Error(`Tab went to "${tabbed}"`);
  await press("Control", "c");
  await shows("1. elementin sembolü: ^C");
  await page.waitForFunction(() =>
    document.getElementById("end-text").textContent === "Program sona erdi.");
}

// Typed a line at a time, compound after compound, the page shows the very
// screen that the same lines pasted at once give.
async function same_screen(page) {
  // The golden session's two compounds, three more, and the sixth begun.
  const lines = readFileSync(new URL("golden/warnings.in", import.meta.url), "utf8")
    .trimEnd().split("\n").concat(["c", "4", "C 1 O 2", "son", "c", "0", "son", "c",
      "", "1", "He 1", "son", "c"]);
  const begun = () => page.waitForFunction(() =>
    globalThis.molagirlik_screen().split("PROGRAMI").length === 7, { timeout: 10000 });
  await page.reload();
  await page.waitForFunction(() => globalThis.molagirlik_screen().endsWith("giriniz:"));
  for (const line of lines) {
    await page.keyboard.type(line);
    await page.keyboard.press("Enter");
  }
  await begun();
  const typed = await page.evaluate(() => globalThis.molagirlik_screen());
  await page.reload();
  await page.waitForFunction(() => globalThis.molagirlik_screen().endsWith("giriniz:"));
  await paste(page, lines.join("\n") + "\n");
  await begun();
  const pasted = await page.evaluate(() => globalThis.molagirlik_screen());
  if (typed !== pasted) throw new Error(`typed:\n${typed}\n\npasted:\n${pasted}`);
  // Ctrl+D at the start of a line ends the input.
  await page.keyboard.down("Control");
  await page.keyboard.press("d");
  await page.keyboard.up("Control");
  await page.waitForFunction(() =>
    document.getElementById("end-text").textContent === "Program sona erdi.");
}

let failed = false;
for (const [browser_name, launch] of Object.entries(browsers)) {
  const browser = await puppeteer.launch({ headless: true, ...launch });
  try {
    for (const [size_name, viewport] of Object.entries(sizes)) {
      const name = `${browser_name}-${size_name}`;
      const page = await browser.newPage();
      const errors = [];
      try {
        page.on("pageerror", (error) => errors.push(error.message));
        await page.setViewport(viewport);
        await page.goto(url);
        await session(page, name);
        if (size_name === "desktop") await same_screen(page);
        if (errors.length > 0) throw new Error(`page errors: ${errors.join("; ")}`);
        console.log(`${name}: the dialogue, its keys and axe-core are right`);
      } catch (error) {
        failed = true;
        console.log(`FAIL ${name}: ${error.message}`);
      } finally {
        await page.close();
      }
    }
  } finally {
    await browser.close();
  }
}
if (failed) process.exit(1);
console.log(`screenshots in ${shots}`);
