// What every step of the browser test shares: the command line, the
// browsers and sizes, the page's files served as a school's server would,
// the person who types and reads, and what is set up in each page before
// its script runs.
import { copyFileSync, mkdtempSync, readFileSync, readdirSync, writeFileSync } from "node:fs";
import { createServer } from "node:http";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { dirname, join, resolve } from "node:path";
import { fileURLToPath, pathToFileURL } from "node:url";

const require = createRequire(new URL("../../web/package.json", import.meta.url));
export const puppeteer = require("puppeteer-core");
const axe = readFileSync(require.resolve("axe-core/axe.min.js"), "utf8");
export const [page_file, shots, ...only] = process.argv.slice(2);
export const url = pathToFileURL(resolve(page_file)).href;
// The program itself, built for this machine, for what the page must show.
export const native = process.env.MOLAGIRLIK_NATIVE ?? fileURLToPath(new URL("../../build/molagirlik-utf8", import.meta.url));

export const browsers = {
  Chromium: { executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
              // CI runs as root, where Chromium's sandbox cannot start.
              args: ["--no-sandbox"] },
  Firefox: { browser: "firefox",
             executablePath: process.env.FIREFOX ?? "/usr/bin/firefox-esr" },
};
const phone = { isMobile: true, hasTouch: true, deviceScaleFactor: 3 };
export const sizes = {
  "1280x800": { width: 1280, height: 800 },
  "390x844": { width: 390, height: 844, ...phone },
  "320x568": { width: 320, height: 568, ...phone },
  "1920x1080": { width: 1920, height: 1080 },
};
// The page and the files that make it an app, copied to be served, and a
// control page built without 'wasm-unsafe-eval'.
export const served = mkdtempSync(join(tmpdir(), "molagirlik-served-"));
for (const file of readdirSync(dirname(resolve(page_file)))) {
  if (/^(molagirlik\.html|manifest\.webmanifest|sw\.js|icon-.*\.png)$/.test(file)) {
    copyFileSync(join(dirname(resolve(page_file)), file), join(served, file));
  }
}
export const control = join(served, "control.html");
writeFileSync(control, readFileSync(page_file, "utf8").replace(" 'wasm-unsafe-eval'", ""));
// A static server of that folder on 127.0.0.1, under /molagirlik/ as a
// school's server would put it beside other pages; started and stopped by
// the steps.
export const kFolder = "/molagirlik/";
export function serve(port = 0) {
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
export const stop = (server) => new Promise((done) => { server.closeAllConnections?.(); server.close(done); });

export const kDecimals = "   Ondalıklı hane adedini, 0 ile 6 arasında olacak şekilde buraya giriniz:";
export const kStopped = "Program bir hatayla durdu. Yeniden başlatabilirsiniz.";
export const fail = (message) => { throw new Error(message); };

// What a person does and sees on one opened page.
export function person(page, firefox) {
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


// The sizes of a step that runs on the desktop and on both phones.
export const every = ["1280x800", "390x844", "320x568"];

// Before the page's script: counts the program's instances, and makes the
// program's next read trap when a step asks for it.
export function instrument() {
  globalThis.violations = [];
  document.addEventListener("securitypolicyviolation",
    (event) => globalThis.violations.push(`${event.violatedDirective} ${event.blockedURI}`));
  globalThis.instances = 0;
  globalThis.compiled = 0;
  const compile = WebAssembly.compile;
  WebAssembly.compile = (...args) => (++globalThis.compiled, compile(...args));
  // Each font size the terminal's style sheets were given, in turn: the
  // text of every style xterm writes, even several in one task.
  globalThis.font_sizes = [];
  new MutationObserver((records) => {
    for (const { target, addedNodes } of records) {
      for (const node of addedNodes) {
        // A text replaced since is no longer in its style: the record's
        // target is.
        const text = node.nodeName === "STYLE" ? node.textContent
          : target.nodeName === "STYLE" ? node.data ?? "" : "";
        const size = text.match(/\.xterm-rows[^}]*font-size: ([\d.]+)px/)?.[1];
        if (size && size !== globalThis.font_sizes.at(-1)) globalThis.font_sizes.push(size);
      }
    }
  }).observe(document, { childList: true, subtree: true });
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
