// The page, opened as a local file in Chromium and in Firefox, each at a
// desktop's size and at two phones': a person types, edits, pastes, copies
// and restarts, and the test reads what the terminal's rows show. Each
// step opens the page afresh and is reported on its own; the test fails
// when any step does. axe-core audits the page at the first prompt, in
// mid-session and at the end.
//   node tests/browser_test.mjs PAGE.html SCREENSHOT_FOLDER [WORDS OF STEPS...]
import { execFileSync } from "node:child_process";
import { copyFileSync, mkdtempSync, readFileSync, readdirSync, writeFileSync } from "node:fs";
import { createServer } from "node:http";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { dirname, join, resolve } from "node:path";
import { fileURLToPath, pathToFileURL } from "node:url";

const require = createRequire(new URL("../web/package.json", import.meta.url));
const puppeteer = require("puppeteer-core");
const axe = readFileSync(require.resolve("axe-core/axe.min.js"), "utf8");
const [page_file, shots, ...only] = process.argv.slice(2);
const url = pathToFileURL(resolve(page_file)).href;
// The program itself, built for this machine, for what the page must show.
const native = process.env.MOLAGIRLIK_NATIVE ?? fileURLToPath(new URL("../build/molagirlik-utf8", import.meta.url));

const browsers = {
  Chromium: { executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
              // CI runs as root, where Chromium's sandbox cannot start.
              args: ["--no-sandbox"] },
  Firefox: { browser: "firefox",
             executablePath: process.env.FIREFOX ?? "/usr/bin/firefox-esr" },
};
const phone = { isMobile: true, hasTouch: true, deviceScaleFactor: 3 };
const sizes = {
  "1280x800": { width: 1280, height: 800 },
  "390x844": { width: 390, height: 844, ...phone },
  "320x568": { width: 320, height: 568, ...phone },
  "1920x1080": { width: 1920, height: 1080 },
};
// The page and the files that make it an app, copied to be served, and a
// control page built without 'wasm-unsafe-eval'.
const served = mkdtempSync(join(tmpdir(), "molagirlik-served-"));
for (const file of readdirSync(dirname(resolve(page_file)))) {
  if (/^(molagirlik\.html|manifest\.webmanifest|sw\.js|icon-.*\.png)$/.test(file)) {
    copyFileSync(join(dirname(resolve(page_file)), file), join(served, file));
  }
}
const control = join(served, "control.html");
writeFileSync(control, readFileSync(page_file, "utf8").replace(" 'wasm-unsafe-eval'", ""));
// A static server of that folder on 127.0.0.1, under /molagirlik/ as a
// school's server would put it beside other pages; started and stopped by
// the steps.
const kFolder = "/molagirlik/";
function serve(port = 0) {
  const types = { html: "text/html", js: "text/javascript", png: "image/png",
                  webmanifest: "application/manifest+json" };
  const server = createServer((request, response) => {
    const path = decodeURIComponent(new URL(request.url, "http://x").pathname);
    const file = path.startsWith(kFolder) ? path.slice(kFolder.length) || "molagirlik.html" : "/";
    try {
      const body = readFileSync(join(served, file.replace(/[\/\\]/g, "") || "/"));
      response.writeHead(200, { "content-type": types[file.split(".").pop()] ?? "application/octet-stream" });
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  return new Promise((done) => server.listen(port, "127.0.0.1", () => done(server)));
}
const stop = (server) => new Promise((done) => { server.closeAllConnections?.(); server.close(done); });

const kDecimals = "   Ondalıklı hane adedini, 0 ile 6 arasında olacak şekilde buraya giriniz:";
const kStopped = "Program bir hatayla durdu. Yeniden başlatabilirsiniz.";
const fail = (message) => { throw new Error(message); };

// What a person does and sees on one opened page.
function person(page, firefox) {
  const keys = page.keyboard;
  // The terminal's visible rows, as the user reads them.
  const rows = () => page.evaluate(() => document.querySelector(".xterm-rows")
    .innerText.replace(/\u00a0/g, " ").split("\n").map((row) => row.trimEnd()));
  const screen = () => page.evaluate(() => globalThis.molagirlik_screen());
  const status = () => page.evaluate(() => document.getElementById("end-text").textContent);
  return {
    page, keys, rows, screen, status,
    console_errors: [],  // what the page wrote to the console as errors
    // Waits until the rows hold each of `lines`, whole.
    async shows(...lines) {
      try {
        await page.waitForFunction((wanted) => {
          const now = document.querySelector(".xterm-rows").innerText
            .replace(/\u00a0/g, " ").split("\n").map((row) => row.trimEnd());
          return wanted.every((line) => now.includes(line));
        }, { timeout: 10000 }, lines);
      } catch {
        const now = await rows();
        fail(`the rows lack "${lines.find((line) => !now.includes(line))}";` +
          ` they end:\n${now.filter(Boolean).slice(-8).join("\n")}`);
      }
    },
    async ends(text) {
      await page.waitForFunction((t) => document.getElementById("end-text").textContent === t,
        { timeout: 10000 }, text).catch(async () => fail(`the status reads "${await status()}"`));
    },
    async enter(...lines) {
      for (const line of lines) {
        await keys.type(line);
        await keys.press("Enter");
      }
    },
    async press(modifier, key) {
      await keys.down(modifier);
      await keys.press(key);
      await keys.up(modifier);
    },
    // Pastes `text` as the browser does; Firefox hands a page's own
    // DataTransfer over empty, so there it comes as one input event, as
    // from a phone keyboard.
    async paste(text) {
      await page.evaluate((lines, as_input) => {
        const area = document.querySelector(".xterm-helper-textarea");
        if (as_input) {
          area.dispatchEvent(new InputEvent("input", { data: lines, inputType: "insertText" }));
          return;
        }
        const data = new DataTransfer();
        data.setData("text/plain", lines);
        area.dispatchEvent(new ClipboardEvent("paste", { clipboardData: data, bubbles: true, cancelable: true }));
      }, text, firefox);
    },
    // The log, an announcement each (the live region holds the last).
    said: () => page.evaluate(() =>
      [...document.getElementById("transcript").children].map((c) => c.textContent)),
    async audit(when) {
      await page.evaluate(axe);
      const found = await page.evaluate(async () => (await globalThis.axe.run())
        .violations.map((v) => `${v.id} (${v.impact}): ${v.nodes.length} places`));
      if (found.length > 0) fail(`axe-core ${when}: ${found.join("; ")}`);
    },
    // Where `text` stands on the screen, in CSS pixels, in the last row
    // that shows it, with the viewport's size.
    where: (text) => page.evaluate((wanted) => {
      const row = [...document.querySelectorAll(".xterm-rows > div")]
        .findLast((r) => r.textContent.includes(wanted));
      if (!row) return null;
      const rect = row.getBoundingClientRect();
      const cell = rect.width / 80;
      const column = row.textContent.indexOf(wanted);
      return { left: rect.left + column * cell, right: rect.left + (column + wanted.length) * cell,
               y: rect.top + rect.height / 2, bottom: rect.bottom, cell,
               width: document.documentElement.clientWidth, height: innerHeight };
    }, text),
    // The row that shows `text` and the page's own lines below the
    // terminal lie inside the viewport.
    async inside(text) {
      const at = await this.where(text);
      if (!at) fail(`no row shows "${text}"`);
      if (at.left < 0 || at.right > at.width || at.bottom > at.height) {
        fail(`"${text}" lies at ${at.left}..${at.right} x ..${at.bottom} of ${at.width}x${at.height} px`);
      }
      const below = await page.evaluate(() =>
        document.getElementById("controls").getBoundingClientRect().bottom);
      if (below > at.height) fail(`the lines below the terminal end at ${below} px`);
    },
    // The session's input, pasted at once, until the screen shows the
    // answer to the last of `count` compounds (`pasted` of them, if fewer,
    // with `last` in place of the last one).
    async compounds(count, last = "", pasted = count) {
      await this.paste("2\nH 1\nson\nc\n".repeat(last ? pasted - 1 : pasted) + last);
      await page.waitForFunction((n) => {
        const now = globalThis.molagirlik_screen();
        return now.includes(`${n}. bileşiğin molekül kütlesi`) && /(giriniz:|GİRİNİZ\.\.\.)$/.test(now);
      }, { timeout: 30000 }, count);
    },
  };
}

// Each step: where it runs (sizes), and what a person does.
const every = ["1280x800", "390x844", "320x568"];
const steps = [
  ["water, typed with Backspaces and an arrow key", every, async (p, name) => {
    await p.shows(kDecimals);
    await p.audit("at the first prompt");
    await p.enter("2");
    // The prompt is said while it waits, before it is answered.
    await p.page.waitForFunction(() => document.getElementById("announcer")
      .lastChild?.textContent.endsWith("1. elementin sembolü:"), { timeout: 5000 })
      .catch(async () => fail(`the prompt was not said: ${JSON.stringify((await p.said()).slice(-1))}`));
    // Backspace takes back a key on screen, and on an empty line nothing;
    // an arrow key types nothing.
    await p.keys.type("Hx");
    await p.keys.press("Backspace");
    await p.keys.press("Enter");
    await p.keys.press("Backspace");
    await p.keys.press("ArrowUp");
    await p.enter("2");
    await p.shows("1. elementin sembolü: H", "1. elementin adedi  : 2");
    // Backspace across a line that wrapped past the 80th column.
    await p.keys.type("O" + "x".repeat(90));
    for (let i = 0; i < 90; ++i) await p.keys.press("Backspace");
    await p.keys.press("Enter");
    await p.enter("1", "son");
    await p.shows("2. elementin sembolü: O", "2. elementin adedi  : 1",
      "                     1. bileşiğin molekül kütlesi: 18.02");
    if ((await p.rows()).some((row) => row.includes("xx"))) fail("x left on screen");
    await p.inside("18.02");
    // One announcement a wait: the opening one ends with the first prompt,
    // the last begins with the result and goes on with the closing block.
    // Read back, the log holds what was typed after its prompt, and no run
    // of spaces.
    const said = await p.said();
    const log = said.join("\n");
    const opening = said[0] ?? "";
    if (!opening.includes("Element sembolü yerine 'son' girerek çıkabilir") ||
        !opening.endsWith("olacak şekilde buraya giriniz: 2") ||
        !said.at(-1).startsWith("1. bileşiğin molekül kütlesi: 18.02\n") ||
        !said.at(-1).includes("ÇIKMAK İÇİN ENTER TUŞUNA BASINIZ...") ||
        !["1. elementin sembolü: H", "1. elementin adedi : 2", "3. elementin sembolü: son"]
          .every((line) => log.split("\n").includes(line)) || / {2}/.test(log) ||
        await p.page.evaluate(() => document.getElementById("announcer").childNodes.length) !== 1) {
      fail(`the live region said: ${JSON.stringify(said)}`);
    }
    await p.audit("in mid-session");
    const violations = await p.page.evaluate(() => globalThis.violations);
    if (violations.length > 0) fail(`the page's policy blocked: ${violations.join("; ")}`);
    // Opened as a file, the page asks for no manifest and no worker.
    if (p.console_errors.length > 0) fail(`errors on the console: ${p.console_errors.join("; ")}`);
    await p.page.screenshot({ path: `${shots}/${name}.png` });
  }],
  ["opened on a slow phone, the terminal is drawn once, at its size: nothing jumps", ["390x844", "1280x800"], async (p, name) => {
    // Chromium reports what moves; Firefox does not.
    if (!name.startsWith("Chromium")) return;
    const cdp = await p.page.createCDPSession();
    await cdp.send("Emulation.setCPUThrottlingRate", { rate: 4 });
    await p.page.reload();
    await p.shows(kDecimals);
    await new Promise((done) => setTimeout(done, 500));
    const shifted = await p.page.evaluate(() => globalThis.shifted);
    if (shifted > 0.01) fail(`the page moved by ${shifted.toFixed(3)} (Cumulative Layout Shift) as it opened`);
  }],
  ["one Backspace right after a full row", every, async (p) => {
    await p.enter("2");
    // The prompt's 22 columns and 58 letters fill the row.
    await p.keys.type("a".repeat(57) + "b");
    await p.keys.press("Backspace");
    await p.shows(`1. elementin sembolü: ${"a".repeat(57)}`);
    // The 59th letter, on the next row, erased alone: the 58th that filled
    // the row stays.
    await p.keys.type("bc");
    await p.keys.press("Backspace");
    await p.keys.type("!");
    await p.shows(`1. elementin sembolü: ${"a".repeat(57)}b`, "!");
    // A letter outside the Basic Multilingual Plane is erased whole.
    await p.keys.press("Enter");
    await p.keys.type("H😀");
    await p.keys.press("Backspace");
    await p.keys.press("Enter");
    await p.shows("1. elementin sembolü: H", "1. elementin adedi  :");
  }],
  ["copy and paste with the keys, a phone keyboard's letters", every, async (p) => {
    await p.enter("6");
    await p.shows("1. elementin sembolü:");
    // Ctrl+C copies a word selected on screen, Ctrl+V pastes it.
    const word = await p.where("PROGRAMI");
    await p.page.mouse.move(word.left + word.cell / 4, word.y);
    await p.page.mouse.down();
    await p.page.mouse.move(word.right - word.cell / 4, word.y, { steps: 4 });
    await p.page.mouse.up();
    await p.press("Control", "c");
    await p.press("Control", "v");
    await p.keys.press("Enter");
    await p.shows("1. elementin sembolü: PROGRAMI");
    for (const letter of "Çay") await p.keys.sendCharacter(letter);
    await p.keys.press("Enter");
    await p.shows("1. elementin sembolü: Çay", "UYARI: Çay geçerli bir element sembolü değil!");
  }],
  ["lines pasted past the end, the end, a restart, Tab and Ctrl+C", every, async (p) => {
    await p.paste("6\nC 6 H 12 O 6\nson\n\nfazla\n");
    await p.shows("                     1. bileşiğin molekül kütlesi: 180.155884");
    await p.ends("Program sona erdi.");
    const screen = await p.screen();
    if (screen.includes("fazla")) fail("a line past the end was echoed");
    if (!screen.endsWith("YENİ BİR MOLEKÜL İÇİN 'c' HARFİNİ GİRİNİZ...")) {
      fail(`the screen ends "${screen.slice(-80)}"`);
    }
    await p.inside("YENİ BİR MOLEKÜL");
    if (await p.page.evaluate(() => document.activeElement.id) !== "again") {
      fail("the restart button has no focus at the end");
    }
    await p.audit("at the end");
    // Started again: one banner, the keyboard in the terminal, Tab to the
    // button and back, and Ctrl+C ends the input.
    await p.keys.press("Enter");
    await p.page.waitForFunction(() => globalThis.molagirlik_screen().endsWith("giriniz:"));
    if ((await p.screen()).split("PROGRAMI").length !== 2) fail("not one banner after a restart");
    const compiled = await p.page.evaluate(() => globalThis.compiled);
    if (compiled !== 1) fail(`the program was compiled ${compiled} times for two sessions`);
    await p.keys.press("Tab");
    const tabbed = await p.page.evaluate(() => document.activeElement.id);
    await p.press("Shift", "Tab");
    await p.enter("3");
    await p.shows(`${kDecimals} 3`);
    if (tabbed !== "again") fail(`Tab went to "${tabbed}"`);
    await p.press("Control", "c");
    await p.shows("1. elementin sembolü: ^C");
    await p.ends("Program sona erdi.");
  }],
  ["a Tab in pasted text separates as a space does", ["1280x800"], async (p) => {
    await p.paste("2\nH\t2\nson\n");
    await p.shows("                     1. bileşiğin molekül kütlesi: 2.02");
  }],
  ["a CRLF from a phone keyboard is one Enter", ["390x844"], async (p) => {
    await p.page.evaluate(() => {
      const area = document.querySelector(".xterm-helper-textarea");
      for (const data of ["2\r\n", "H\r\n"]) {
        area.dispatchEvent(new InputEvent("input", { data, inputType: "insertText" }));
      }
    });
    await p.shows("1. elementin sembolü: H");
  }],
  ["Ctrl+D ends the input on an empty line only", ["1280x800"], async (p) => {
    await p.keys.type("2");
    await p.press("Control", "d");
    await p.keys.press("Enter");
    await p.shows("1. elementin sembolü:");
    if (await p.status() !== "") fail("Ctrl+D on a line with text ended the program");
    await p.press("Control", "d");
    await p.ends("Program sona erdi.");
  }],
  ["typed line by line, the screen of the same lines pasted, in one run", ["1280x800"], async (p) => {
    // The golden session's two compounds, three more, and the sixth begun.
    const lines = readFileSync(new URL("golden/warnings.in", import.meta.url), "utf8")
      .trimEnd().split("\n").concat(["c", "4", "C 1 O 2", "son", "c", "0", "son", "c",
        "", "1", "He 1", "son", "c"]);
    const begun = () => p.page.waitForFunction(() =>
      globalThis.molagirlik_screen().split("PROGRAMI").length === 7, { timeout: 10000 });
    for (const line of lines) await p.enter(line);
    await begun();
    const typed = await p.screen();
    const runs = await p.page.evaluate(() => globalThis.instances);
    if (runs !== 1) fail(`${runs} program instances for one session`);
    await p.page.reload();
    await p.page.waitForFunction(() => globalThis.molagirlik_screen().endsWith("giriniz:"));
    await p.paste(lines.join("\n") + "\n");
    await begun();
    const pasted = await p.screen();
    if (typed !== pasted) fail(`typed:\n${typed}\n\npasted:\n${pasted}`);
  }],
  ["Backspace after 60 compounds, with the scrollback full", ["1280x800", "320x568"], async (p) => {
    await p.compounds(60);
    // A line that wraps, so that the screen scrolls and the scrollback is
    // trimmed as it is typed, then erased.
    await p.keys.type("123456789".repeat(11));
    for (let i = 0; i < 99; ++i) await p.keys.press("Backspace");
    await p.enter("2");
    await p.shows(`${kDecimals} 2`);
    // The rows as drawn, which may lag a frame behind the prompt's.
    await p.page.waitForFunction(() => !/12345|6789/.test(document.querySelector(".xterm-rows").innerText),
      { timeout: 3000 }).catch(async () => fail(`digits left on screen: ${(await p.rows())
        .filter((row) => /12345|6789/.test(row)).join(" | ")}`));
  }],
  ["a paste is announced once, by its last answer", ["1280x800"], async (p) => {
    await p.shows(kDecimals);
    let total = 0;
    for (const count of [3, 2000]) {
      const before = (await p.said()).length;
      await p.compounds(total += count, "2\nH 1\nson\n", count);
      const said = (await p.said()).slice(before);
      if (said.length !== 1 || !said[0].startsWith(`${total}. bileşiğin molekül kütlesi: 1.01\n`) ||
          said[0].includes(`${total - 1}. bileşiğin`)) {
        fail(`a paste of ${count} said: ${JSON.stringify(said).slice(0, 300)}`);
      }
      await p.enter("c");
      await p.shows(kDecimals);
    }
  }],
  ["a paste of 40,000 compounds, answered whole, then a line typed meanwhile", ["1280x800"], async (p) => {
    const discarded = [];
    p.page.on("console", (message) => /discard/i.test(message.text()) && discarded.push(message.text()));
    await p.paste("2\nH 1\nson\nc\n".repeat(39999) + "2\nH 1\nson\n");
    // Typed while the paste is still shown, with a Backspace: handed over
    // edited, after the paste.
    await p.enter("c", "2");
    await p.keys.type("Hx");
    await p.keys.press("Backspace");
    await p.enter(" 2", "son");
    await p.page.waitForFunction(() => globalThis.molagirlik_screen()
      .includes("40001. bileşiğin molekül kütlesi: 2.02"), { timeout: 120000 })
      .catch(async () => fail(`no answer: ${(await p.rows()).filter(Boolean).slice(-4).join(" | ")}`));
    if ((await p.screen()).includes("UYARI")) fail("a warning on screen");
    if (discarded.length > 0) fail(`the terminal said: ${discarded[0]}`);
  }],
  ["a long paste to the end: the program's own screen, all of it shown before the end is said", ["1280x800"], async (p) => {
    const lines = [...Array(300)].map((_, i) => `2 H 2 O ${i % 9 + 1} son c`).concat(["2 H 1 son", ""]);
    const input = `${lines.join("\n")}\n`;
    await p.shows(kDecimals);
    await p.page.evaluate(() => {
      const end = document.getElementById("end-text");
      new MutationObserver(() => {
        if (end.textContent === "Program sona erdi.") globalThis.at_end ??= globalThis.molagirlik_screen();
      }).observe(end, { childList: true, characterData: true, subtree: true });
    });
    await p.paste(input);
    await p.ends("Program sona erdi.");
    // The program's output by itself, with each line echoed where the
    // program read it: after each compound's first prompt, and the last
    // Enter after the last question.
    let expected = execFileSync(native, { input }).toString();
    let read = 0;
    expected = expected.replace(/buraya giriniz: /g, (prompt) => `${prompt}${lines[read++]}\n`);
    // Lines longer than a row wrap, as on any terminal.
    const want = expected.split("\n").flatMap((line) => {
      const chars = Array.from(line);
      const rows = [];
      do rows.push(chars.splice(0, 80).join("").trimEnd()); while (chars.length > 0);
      return rows;
    });
    const got = (await p.screen()).split("\n").map((line) => line.trimEnd());
    while (want.at(-1) === "") want.pop();
    const differ = got.filter((line, i) => line !== want[want.length - got.length + i]);
    if (differ.length > 0) fail(`${differ.length} of ${got.length} lines differ from the program's, first "${differ[0]}"`);
    // Every compound ends alike: the screen when the end was said must be
    // the last one, whole.
    const at_end = await p.page.evaluate(() => globalThis.at_end);
    if (at_end !== await p.screen()) {
      fail(`"Program sona erdi." was said with the screen at "${at_end.match(/\d+\. bileşiğin[^\n]*/g)?.at(-1)}"`);
    }
  }],
  ["a Backspace while a long output is still drawn, and a restart then", ["1280x800"], async (p) => {
    // The last line comes unfinished: its keys, and the Backspace after
    // them, are handled while the answers before are still being drawn.
    await p.paste(`${"2\nH 1\nson\nc\n".repeat(500)}2\nH 2\nO 1\nsox`);
    await p.keys.press("Backspace");
    await p.keys.type("n");
    await p.keys.press("Enter");
    await p.shows("                     501. bileşiğin molekül kütlesi: 18.02");
    await p.shows("3. elementin sembolü: son");
    await p.enter("c");
    await p.paste("2\nH 1\nson\nc\n".repeat(2000));
    await p.page.click("#again");
    await p.page.waitForFunction(() => globalThis.molagirlik_screen().endsWith("giriniz:"), { timeout: 20000 })
      .catch(() => fail("no first prompt after the restart"));
    const screen = await p.screen();
    if (screen.split("PROGRAMI").length !== 2 || screen.includes("bileşiğin")) fail("not a fresh screen after the restart");
  }],
  ["a restart in the middle of a long paste", every, async (p) => {
    await p.paste("2\nH 1\nson\nc\n".repeat(20000));
    await p.page.waitForFunction(() => globalThis.molagirlik_screen().includes("50. bileşiğin"));
    await p.page.click("#again");
    await p.shows(kDecimals);
    await p.enter("2", "H 2 O 1 son");
    await p.shows("                     1. bileşiğin molekül kütlesi: 18.02");
    const banners = (await p.screen()).split("\n").filter((row) => row.includes("PROGRAMI")).length;
    if (banners !== 1) fail(`${banners} banners on the new screen`);
  }],
  ["a classroom board: 80 columns across the screen, or as tall as 24 rows allow", ["1920x1080"], async (p, name) => {
    await p.shows(kDecimals);
    const board = await p.page.evaluate(() => ({
      width: document.querySelector(".xterm-screen").getBoundingClientRect().width,
      rows: document.querySelector(".xterm-rows").children.length, screen: innerWidth }));
    if (board.width < 0.9 * board.screen && board.rows > 25) {
      fail(`80 columns are ${board.width} px of ${board.screen}, in ${board.rows} rows`);
    }
    await p.page.screenshot({ path: `${shots}/${name}.png` });
  }],
  ["a request to another origin is blocked, and said so", ["1280x800"], async (p) => {
    await p.shows(kDecimals);
    const [fetched, violation] = await p.page.evaluate(async () => {
      const seen = new Promise((done) => document.addEventListener("securitypolicyviolation",
        (event) => done(`${event.violatedDirective} ${event.blockedURI}`), { once: true }));
      const fetched = await fetch("http://127.0.0.1:9/").then(() => true, () => false);
      return [fetched, await Promise.race([seen, new Promise((done) => setTimeout(done, 3000))])];
    });
    if (fetched || !/^(connect-src|default-src)/.test(violation ?? "")) {
      fail(`the fetch ${fetched ? "went through" : "failed"}; the violation: ${violation}`);
    }
  }],
  ["no HTML is written into the page as a string (Trusted Types)", ["1280x800"], async (p, name) => {
    await p.shows(kDecimals);
    // Firefox ESR does not enforce them yet (Firefox does from 148).
    if (!name.startsWith("Chromium")) return;
    const [refused, violation] = await p.page.evaluate(async () => {
      const seen = new Promise((done) => document.addEventListener("securitypolicyviolation",
        (event) => done(event.violatedDirective), { once: true }));
      let refused = false;
      try {
        document.getElementById("end-text").innerHTML = "<b>yazı</b>";
      } catch (error) {
        refused = error instanceof TypeError;
      }
      return [refused, await Promise.race([seen, new Promise((done) => setTimeout(done, 3000))])];
    });
    if (!refused || violation !== "require-trusted-types-for") {
      fail(`an HTML string was ${refused ? "refused" : "taken"}; the violation: ${violation}`);
    }
  }],
  ["built without 'wasm-unsafe-eval', the program is not loaded, in Turkish", ["1280x800"], async (p) => {
    p.errors_expected = true;  // the browser's own words on what it blocked
    await p.page.goto(pathToFileURL(control).href);
    await p.shows("Program yüklenemedi. Yeniden başlatmayı ya da başka bir tarayıcıyı deneyin.");
  }],
  ["served: installable, kept offline, updated, and nothing blocked", ["1280x800"], async (p, name) => {
    let server = await serve();
    const folder = `http://127.0.0.1:${server.address().port}${kFolder}`;
    const address = `${folder}molagirlik.html`;
    const chromium = name.startsWith("Chromium");
    const page_path = join(served, "molagirlik.html");
    const built = readFileSync(page_path, "utf8");
    try {
      await p.page.goto(address);
      await p.shows(kDecimals);
      if (chromium) {
        // Even a request to the page's own server is none of its business.
        const own = await p.page.evaluate(() => fetch("manifest.webmanifest").then(() => true, () => false));
        if (own) fail("a request to the page's own server went through");
        const cdp = await p.page.createCDPSession();
        const { installabilityErrors } = await cdp.send("Page.getInstallabilityErrors");
        if (installabilityErrors.length > 0) fail(`not installable: ${JSON.stringify(installabilityErrors)}`);
        const { url: manifest_url, errors, data } = await cdp.send("Page.getAppManifest");
        if (errors.length > 0) fail(`the manifest: ${JSON.stringify(errors)}`);
        const manifest = JSON.parse(data);
        const missing = ["name", "short_name", "start_url", "scope", "display", "icons"]
          .filter((key) => !(key in manifest));
        if (missing.length > 0) fail(`the manifest lacks ${missing.join(", ")}`);
        // Installed from a folder of the school's server, it opens there.
        const start = new URL(manifest.start_url, manifest_url).href;
        const scope = new URL(manifest.scope, manifest_url).href;
        if (start !== address || scope !== folder) fail(`the app starts at ${start}, in ${scope}`);
        // The maskable icon alone says so: a launcher crops it to a circle.
        const purposes = manifest.icons.map((icon) => `${icon.src} ${icon.purpose ?? "any"}`).join(", ");
        if (purposes !== "icon-192.png any, icon-512.png any, icon-512-maskable.png maskable") {
          fail(`the icons: ${purposes}`);
        }
        await p.page.evaluate(() => navigator.serviceWorker.ready.then((r) => r.active.state))
          .then((state) => state === "activated" || fail(`the worker is ${state}`));
        // What the worker keeps comes from its cache first, even while the
        // server has another.
        writeFileSync(page_path, built.replace("<title>Molekül", "<title>Sunucudaki Molekül"));
        await p.page.reload();
        if ((await p.page.title()).startsWith("Sunucudaki")) fail("the worker asked the network first");
        writeFileSync(page_path, built);
        // The server stopped: the page comes from the worker's cache, and
        // so do the icons an installed app shows.
        const port = server.address().port;
        await stop(server);
        await p.page.reload();
        await p.shows(kDecimals);
        await p.enter("2", "H 2 O 1 son");
        await p.shows("                     1. bileşiğin molekül kütlesi: 18.02");
        const kept = await p.page.evaluate(async (icons) => {
          const [name] = await caches.keys();
          const cache = await caches.open(name);
          return Promise.all(icons.map(async (icon) => (await cache.match(icon)) !== undefined));
        }, manifest.icons.map((icon) => icon.src));
        if (!kept.every(Boolean)) fail(`icons not kept offline: ${manifest.icons.filter((_, i) => !kept[i]).map((i) => i.src)}`);
        // A new build on the server, made as the build makes it: the next
        // visit shows it.
        const [old_cache] = await p.page.evaluate(() => caches.keys());
        writeFileSync(page_path, built.replace("<title>Molekül", "<title>Yeni Molekül"));
        execFileSync("node", [fileURLToPath(new URL("../web/make-app.mjs", import.meta.url)), page_path,
          fileURLToPath(new URL("../data/molagirlik.svg", import.meta.url))]);
        server = await serve(port);
        await p.page.goto(address);
        await p.page.waitForFunction(async (old) => {
          const names = await caches.keys();
          return names.length === 1 && names[0] !== old;
        }, { timeout: 15000 }, old_cache).catch(() => fail("the new build's worker did not take over"));
        await p.page.goto(address);
        const title = await p.page.title();
        if (!title.startsWith("Yeni")) fail(`the next visit shows "${title}"`);
      } else {
        await p.enter("2", "H 2 O 1 son");
        await p.shows("                     1. bileşiğin molekül kütlesi: 18.02");
      }
      const violations = (await p.page.evaluate(() => globalThis.violations))
        .filter((v) => !v.endsWith("manifest.webmanifest"));
      if (violations.length > 0) fail(`blocked: ${violations.join("; ")}`);
    } finally {
      server.listening && await stop(server);
      if (readFileSync(page_path, "utf8") !== built) {
        writeFileSync(page_path, built);
        execFileSync("node", [fileURLToPath(new URL("../web/make-app.mjs", import.meta.url)), page_path,
          fileURLToPath(new URL("../data/molagirlik.svg", import.meta.url))]);
      }
    }
  }],
  ["the rows follow a smaller visual viewport", ["390x844"], async (p) => {
    const bottom = await p.page.evaluate(() => {
      Object.defineProperty(visualViewport, "height", { get: () => 400 });
      visualViewport.dispatchEvent(new Event("resize"));
      return document.getElementById("terminal").getBoundingClientRect().bottom;
    });
    if (bottom > 400) fail(`the terminal ends at ${bottom} px, below the 400 px seen`);
  }],
  ["the layout: marks above capitals, no zoom on focus, nothing below the screen", every, async (p) => {
    await p.shows(kDecimals);
    const layout = await p.page.evaluate(() => {
      const rows = document.querySelector(".xterm-rows");
      const button = document.getElementById("again").getBoundingClientRect();
      return { font: parseFloat(getComputedStyle(rows).fontSize),
               row: rows.firstElementChild.getBoundingClientRect().height,
               input: parseFloat(getComputedStyle(document.querySelector(".xterm-helper-textarea")).fontSize),
               sideways: !document.getElementById("sideways").hidden,
               label: document.querySelector(".xterm-helper-textarea").getAttribute("aria-label"),
               page: document.documentElement.scrollHeight, button: button.bottom, height: innerHeight,
               // The 80 columns beside xterm's scroll bar, not under it.
               columns_end: document.querySelector(".xterm-screen").getBoundingClientRect().right,
               scroll_bar: document.querySelector(".xterm .scrollbar.vertical")?.getBoundingClientRect().left,
               rows: rows.children.length,
               last_row: rows.lastElementChild.getBoundingClientRect().bottom };
    });
    const problems = [
      // Rows 1.33 times the font were seen to cut the marks at 6 px.
      layout.row < 1.4 * layout.font && `rows of ${layout.row} px for a ${layout.font} px font`,
      layout.input < 16 && `the input's font is ${layout.input} px`,
      layout.sideways !== layout.font < 8 && `the line to turn the phone is ${layout.sideways ? "" : "not "}shown at ${layout.font} px`,
      layout.page > layout.height && `the page is ${layout.page} px high in ${layout.height}`,
      layout.button > layout.height && `the button ends at ${layout.button} px`,
      !(layout.columns_end <= layout.scroll_bar) && `the 80 columns end at ${layout.columns_end} px, the scroll bar begins at ${layout.scroll_bar} px`,
      layout.rows < 24 && `${layout.rows} rows`,
      layout.last_row > layout.height && `the last row ends at ${layout.last_row} px`,
      // What a screen reader calls the terminal's input.
      layout.label !== "Program girdisi" && `the input is called "${layout.label}"`,
    ].filter(Boolean);
    if (problems.length > 0) fail(problems.join("; "));
  }],
  ["without WebAssembly, a Turkish message", every, async (p, name) => {
    await p.shows("Bu tarayıcı programı çalıştıramıyor: WebAssembly desteklenmiyor ya da");
    await p.inside("için Kilitleme Modu'nu kapatın.");
    if (!await p.page.evaluate(() => document.getElementById("again").hidden)) fail("a button that does nothing");
    await p.page.screenshot({ path: `${shots}/${name}-no-webassembly.png` });
  }, () => { delete globalThis.WebAssembly; }],
  ["a read that traps: a Turkish line on screen, and a restart", every, async (p, name) => {
    await p.shows(kDecimals);
    await p.page.evaluate(() => { globalThis.trap_read = true; });
    await p.enter("2");
    await p.shows(kStopped);
    await p.inside(kStopped);
    if (await p.status() !== kStopped) fail(`the status reads "${await p.status()}"`);
    if (/unreachable|RuntimeError/.test(await p.screen())) fail("the engine's words are on screen");
    await p.page.screenshot({ path: `${shots}/${name}-trap.png` });
    await p.page.click("#again");
    await p.shows(kDecimals);
    await p.enter("2", "H 2 O 1 son");
    await p.shows("                     1. bileşiğin molekül kütlesi: 18.02");
  }],
];

// Run only when named: the test itself must fail when a step does.
const kFailing = "a step that fails, to check that the test then fails";
steps.push([kFailing, ["1280x800"], () => fail("as it must")]);

// Before the page's script: counts the program's instances, and makes the
// program's next read trap when a step asks for it.
function instrument() {
  globalThis.violations = [];
  document.addEventListener("securitypolicyviolation",
    (event) => globalThis.violations.push(`${event.violatedDirective} ${event.blockedURI}`));
  globalThis.instances = 0;
  globalThis.compiled = 0;
  const compile = WebAssembly.compile;
  WebAssembly.compile = (...args) => (++globalThis.compiled, compile(...args));
  // What moved on screen without a key pressed (Chromium reports it).
  globalThis.shifted = 0;
  try {
    new PerformanceObserver((list) => {
      for (const shift of list.getEntries()) if (!shift.hadRecentInput) globalThis.shifted += shift.value;
    }).observe({ type: "layout-shift", buffered: true });
  } catch {
    globalThis.shifted = null;
  }
  const instantiate = WebAssembly.instantiate;
  WebAssembly.instantiate = (module, imports) => {
    ++globalThis.instances;
    const calls = imports.wasi_snapshot_preview1;
    const read = calls.fd_read;
    calls.fd_read = (...args) => {
      if (globalThis.trap_read) {
        globalThis.trap_read = false;
        throw new WebAssembly.RuntimeError("unreachable");
      }
      return read(...args);
    };
    return instantiate(module, imports);
  };
}

let failures = 0;
for (const [browser_name, launch] of Object.entries(browsers)) {
  const browser = await puppeteer.launch({ headless: true, ...launch });
  const firefox = browser_name === "Firefox";
  try {
    for (const [size_name, viewport] of Object.entries(sizes)) {
      for (const [step, where, act, before = instrument] of steps) {
        if (!where.includes(size_name)) continue;
        if (only.length > 0 ? !only.some((word) => step.includes(word)) : step === kFailing) continue;
        const name = `${browser_name}-${size_name}`;
        const page = await browser.newPage();
        const errors = [];  // thrown in the page
        try {
          page.on("pageerror", (error) => errors.push(error.message));
          await page.setViewport(viewport);
          await page.evaluateOnNewDocument(before);
          await page.goto(url);
          const who = person(page, firefox);
          page.on("console", (message) => message.type() === "error" &&
            who.console_errors.push(message.text()));
          await act(who, name);
          if (errors.length > 0 && !who.errors_expected) fail(`page errors: ${errors.join("; ")}`);
          console.log(`ok ${name}: ${step}`);
        } catch (error) {
          ++failures;
          console.log(`FAIL ${name}: ${step}: ${error.message}`);
        } finally {
          await page.close();
        }
      }
    }
  } finally {
    await browser.close();
  }
}
console.log(`screenshots in ${shots}`);
if (failures > 0) {
  console.log(`${failures} steps failed`);
  process.exit(1);
}
