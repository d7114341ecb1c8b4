// The layout: the terminal's font follows the width, so that all 80
// columns show on any screen from 320 CSS pixels up; below 8 px a line
// suggests turning the phone. It grows with the screen, on a classroom
// board too, as long as 24 rows still fit. The rows follow the height that
// is left, on a phone that above its keyboard, so that nothing lies below
// the screen. Owns the size last fitted to.

const kFewestRows = 24;
const kSmallestReadable = 8;

// The terminal's cell at a font size, in CSS pixels, as xterm will draw it:
// its glyph measured as xterm measures it (on a canvas, with the same font),
// and rounded to device pixels as xterm rounds. Computed, not laid out, so
// that the terminal opens at its fitted size and lays out once.
function cell_at(size, family, line_height) {
  const context = cell_at.context ??= (typeof OffscreenCanvas === "function"
    ? new OffscreenCanvas(1, 1) : document.createElement("canvas")).getContext("2d");
  context.font = `${size}px ${family}`;
  const glyph = context.measureText("W");
  const ratio = window.devicePixelRatio || 1;
  // A browser without the font's box: about what a line of it takes.
  const glyph_height = glyph.fontBoundingBoxAscent + glyph.fontBoundingBoxDescent || 1.2 * size;
  const device_height = Math.floor(Math.ceil(glyph_height * ratio) * line_height);
  return { width: glyph.width, height: device_height / ratio };
}

export class Layout {
  // `term` may not be open yet: the first fit sizes it before it is drawn.
  constructor(term, box, sideways) {
    this.term = term;
    this.box = box;
    this.sideways = sideways;
    this.fitted = "";  // the width and height last fitted to
    for (const target of [window, window.visualViewport]) {
      target?.addEventListener("resize", () => {
        this.fit();
        box.scrollIntoView({ block: "nearest" });
      });
    }
  }

  // Fits again even if the size is the same: something below changed.
  refit() {
    this.fitted = "";
    this.fit();
  }

  fit() {
    const { term, box } = this;
    const height = window.visualViewport?.height ?? window.innerHeight;
    // A resize that changes neither (a phone's focus, say) changes nothing:
    // resizing the terminal would clear its selection.
    const width = document.body.clientWidth;
    if (this.fitted === `${width}x${height}`) return;
    // The width the page leaves the terminal (its box is only as wide as
    // the terminal), less the box's own padding and xterm's scroll bar;
    // the height all else leaves it.
    const style = (element) => getComputedStyle(element);
    const sum = (element, sides) => sides.reduce((total, side) =>
      total + parseFloat(style(element)[`padding${side}`]), 0);
    const room = width - sum(document.body, ["Left", "Right"]) - sum(box, ["Left", "Right"]) - 14;
    const { fontFamily, lineHeight } = term.options;
    const at = (size) => cell_at(size, fontFamily, lineHeight);
    const per_pixel = at(100);
    let size;
    let cell;
    let tall;
    // Twice where the line that suggests turning the phone comes or goes
    // with the size, as it takes a line of the page's height.
    for (let pass = 0; pass < 2; ++pass) {
      tall = height - (document.body.scrollHeight - box.offsetHeight) - sum(box, ["Top", "Bottom"]);
      // The largest quarter pixel at which 80 columns fit across and 24
      // rows down, stepping down from the estimate.
      size = Math.floor(4 * Math.min(room / 80 / (per_pixel.width / 100),
        tall / kFewestRows / (per_pixel.height / 100))) / 4 + 0.25;
      do {
        size -= 0.25;
        cell = at(size);
      } while (size > 4 && (Math.round(80 * cell.width) > room || tall / cell.height < kFewestRows + 0.05));
      if (this.sideways.hidden === size >= kSmallestReadable) break;
      this.sideways.hidden = size >= kSmallestReadable;
    }
    const rows = Math.max(6, Math.floor(tall / cell.height));
    if (size !== term.options.fontSize) term.options.fontSize = size;
    if (rows !== term.rows) term.resize(80, rows);
    this.fitted = `${width}x${height}`;
    this.room = { width: room, height };
    if (term.element) this.settle();
  }

  // Once open, and laid out anyway: where the browser measures the glyph
  // otherwise than the canvas did (no OffscreenCanvas, say), steps down
  // until the terminal fits.
  settle() {
    const { term, box } = this;
    const { width: room, height } = this.room;
    const screen = box.querySelector(".xterm-screen");
    let size = term.options.fontSize;
    for (let tries = 0; tries < 8 && screen.offsetWidth > room && size > 4; ++tries) {
      term.options.fontSize = size -= 0.25;
    }
    let rows = term.rows;
    while (rows > 6 && document.documentElement.scrollHeight > height) {
      term.resize(80, --rows);
    }
    this.sideways.hidden = size >= kSmallestReadable;
  }
}
