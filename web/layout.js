// The layout: the terminal's font follows the width, so that all 80
// columns show on any screen from 320 CSS pixels up; below 8 px a line
// suggests turning the phone. It grows with the screen, on a classroom
// board too, as long as 24 rows still fit. The rows follow the height that
// is left, on a phone that above its keyboard, so that nothing lies below
// the screen. Owns the size last fitted to.

const kFewestRows = 24;
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
    const width = document.body.clientWidth;
    if (this.fitted === `${width}x${height}`) return;
    const screen = box.querySelector(".xterm-screen");
    // The width the page leaves the terminal (its box is only as wide as
    // the terminal), less the box's own padding and xterm's scroll bar.
    const padding = (element) => parseFloat(getComputedStyle(element).paddingLeft) +
      parseFloat(getComputedStyle(element).paddingRight);
    const room = document.body.clientWidth - padding(document.body) - padding(box) - 14;
    let size = term.options.fontSize;
    const per_pixel = screen.offsetWidth / size;
    const row_per_pixel = screen.offsetHeight / term.rows / size;
    const other = document.body.scrollHeight - box.offsetHeight;
    const tallest = (height - other) / (kFewestRows * row_per_pixel);
    size = Math.floor(4 * Math.min(room / per_pixel, tallest)) / 4;
    if (size !== term.options.fontSize) term.options.fontSize = size;
    // Cells are whole device pixels: a few steps down if rounding overflowed.
    for (let tries = 0; tries < 8 && screen.offsetWidth > room && size > 4; ++tries) {
      term.options.fontSize = size -= 0.25;
    }
    // Rows are whole device pixels too: a few steps down where 24 no
    // longer fit once rounded.
    const cell_height = () => screen.getBoundingClientRect().height / term.rows;
    for (let tries = 0; tries < 8 && (height - other) / cell_height() < kFewestRows + 0.05 && size > 4; ++tries) {
      term.options.fontSize = size -= 0.25;
    }
    this.sideways.hidden = size >= kSmallestReadable;
    const cell = cell_height();
    let rows = Math.max(6, Math.floor((height - other) / cell));
    if (rows !== term.rows) term.resize(80, rows);
    // Rows of a fractional height: the last check that the page still fits.
    while (rows > 6 && document.documentElement.scrollHeight > height) {
      term.resize(80, --rows);
    }
    this.fitted = `${width}x${height}`;
  }
}
