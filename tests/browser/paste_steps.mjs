// Paste and flow: pasted lines answered as if typed, a CRLF, a Tab, the
// end, 40,000 compounds, the whole scrollback against the program's own,
// a restart in the middle.
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";

import { every, fail, kDecimals, native } from "./setup.mjs";

export const steps = [
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
  ["typed line by line, the screen of the same lines pasted, in one run", ["1280x800"], async (p) => {
    // The golden session's two compounds, three more, and the sixth begun.
    const lines = readFileSync(new URL("../golden/warnings.in", import.meta.url), "utf8")
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
  ["a restart in the middle of a long paste", every, async (p) => {
    await p.paste("2\nH 1\nson\nc\n".repeat(20000));
    await p.page.waitForFunction(() => globalThis.molagirlik_screen().includes("50. bileşiğin"));
    // Clicked twice, as a double click does, and a key typed at once, while
    // the output of the session that ends is still being drawn: it goes
    // where the focus is.
    await p.page.evaluate(() => {
      const again = document.getElementById("again");
      again.focus();
      again.click();
      again.click();
      document.activeElement.dispatchEvent(new InputEvent("input", { data: "2", inputType: "insertText" }));
    });
    await p.enter("", "H 2 O 1 son");
    await p.shows("                     1. bileşiğin molekül kütlesi: 18.02");
    if (!(await p.screen()).includes(`${kDecimals} 2`)) fail("the key typed at once was lost");
    const rows = (await p.screen()).split("\n");
    const banners = rows.filter((row) => row.includes("PROGRAMI")).length;
    const results = rows.filter((row) => row.includes("bileşiğin molekül kütlesi")).length;
    if (banners !== 1 || results !== 1) fail(`${banners} banners and ${results} results on the new screen`);
  }],
];
