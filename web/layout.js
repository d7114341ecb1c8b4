// The layout: the terminal's font follows the width, so that all 80
// columns show on any screen from 320 CSS pixels up; below 8 px a line
// suggests turning the phone. The rows follow the height that is left, on
// a phone that above its keyboard, so that nothing lies below the screen.
// Owns the size last fitted to.

const kLargestFont = 15;
const kSmallestReadable = 8;

export class Layout {
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
    if (this.fitted === `${box.clientWidth}x${height}`) return;
    const screen = box.querySelector(".xterm-screen");
    const room = box.clientWidth - 14;  // xterm's scroll bar goes beside
    let size = term.options.fontSize;
    const per_pixel = screen.offsetWidth / size;
    size = Math.min(kLargestFont, Math.floor(4 * room / per_pixel) / 4);
    if (size !== term.options.fontSize) term.options.fontSize = size;
    // Cells are whole device pixels: a few steps down if rounding overflowed.
    for (let tries = 0; tries < 8 && screen.offsetWidth > room && size > 4; ++tries) {
      term.options.fontSize = size -= 0.25;
    }
    this.sideways.hidden = size >= kSmallestReadable;
    const other = document.body.scrollHeight - box.offsetHeight;
    const cell = screen.offsetHeight / term.rows;
    let rows = Math.max(6, Math.floor((height - other) / cell));
    if (rows !== term.rows) term.resize(80, rows);
    // Rows of a fractional height: the last check that the page still fits.
    while (rows > 6 && document.documentElement.scrollHeight > height) {
      term.resize(80, --rows);
    }
    this.fitted = `${box.clientWidth}x${height}`;
  }
}
