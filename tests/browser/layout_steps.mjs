// Layout and devices: the terminal fitted to a phone, a desktop and a
// classroom board, drawn once, nothing under the scroll bar or below the
// screen.
import { every, fail, kDecimals, shots } from "./setup.mjs";

export const steps = [
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
    // Each new font size measures and draws the terminal again.
    const sizes = await p.page.evaluate(() => globalThis.font_sizes);
    if (sizes.length !== 1) fail(`the terminal was given ${sizes.length} font sizes as it opened: ${sizes.join(", ")}`);
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
];
