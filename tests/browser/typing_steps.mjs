// Typing and editing: a water session typed (and what it announces),
// Backspace over wrapped rows and behind a long output, copy and paste
// with the keys, Ctrl+D.
import { every, fail, kDecimals, shots } from "./setup.mjs";

export const steps = [
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
  // Typed the moment the terminal is there, before the program has
  // started: kept, and answered in turn.
  ["a key typed as the page opens is kept", every, async (p) => {
    await p.enter("", "H 2 O 1 son");
    await p.shows("                     1. bileşiğin molekül kütlesi: 18.02");
    if (!(await p.screen()).split("\n").includes(`${kDecimals} 2`)) fail("the 2 is not after the first prompt");
  }, () => {
    const typing = new MutationObserver(() => {
      const area = document.querySelector(".xterm-helper-textarea");
      if (!area) return;
      typing.disconnect();
      area.dispatchEvent(new InputEvent("input", { data: "2", inputType: "insertText" }));
    });
    typing.observe(document, { childList: true, subtree: true });
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
  ["Ctrl+D ends the input on an empty line only", ["1280x800"], async (p) => {
    await p.keys.type("2");
    await p.press("Control", "d");
    await p.keys.press("Enter");
    await p.shows("1. elementin sembolü:");
    if (await p.status() !== "") fail("Ctrl+D on a line with text ended the program");
    await p.press("Control", "d");
    await p.ends("Program sona erdi.");
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
];
