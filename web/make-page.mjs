// Writes the one self-contained page: the terminal's styles, the page's
// script (page.js with the modules it imports and the terminal, bundled and
// minified by esbuild), the program (packed with DEFLATE) and the icon,
// inlined into page.html, with a Content-Security-Policy that allows that
// one script by its hash.
//   node web/make-page.mjs PROGRAM.wasm NODE_MODULES OUTPUT.html ICON.svg
// NODE_MODULES holds the packages of web/package-lock.json, esbuild (a
// development package) among them.
import { createHash } from "node:crypto";
import { readFileSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { fileURLToPath } from "node:url";
import { deflateRawSync } from "node:zlib";

import { bundle } from "./bundle.mjs";

const [wasm, node_modules, output, icon] = process.argv.slice(2);
const fail = (message) => {
  console.error(`make-page: ${message}`);
  process.exit(1);
};
const require = createRequire(`${node_modules}/`);
let esbuild;
try {
  esbuild = require("esbuild");
} catch {
  fail(`esbuild is missing from ${node_modules}: run npm ci there with web/package.json ` +
    "and web/package-lock.json, development packages included");
}
let xterm_css;
try {
  xterm_css = readFileSync(require.resolve("@xterm/xterm/css/xterm.css"), "utf8");
} catch {
  fail(`the terminal is missing from ${node_modules}`);
}

let bundled;
try {
  bundled = await bundle(esbuild, node_modules,
    { entryPoints: [fileURLToPath(new URL("page.js", import.meta.url))] });
} catch (error) {
  fail(`esbuild: ${error.message}`);
}
const parts = {
  "@XTERM_CSS@": xterm_css,
  // Packed: a third of its size, unpacked by unpack.js.
  "@PROGRAM@": deflateRawSync(readFileSync(wasm), { level: 9 }).toString("base64"),
  "@PAGE_JS@": bundled,
};
let page = readFileSync(new URL("page.html", import.meta.url), "utf8");
for (const [mark, text] of Object.entries(parts)) {
  if (/<\/(script|style)/i.test(text)) fail(`${mark} would end its element early`);
  page = page.split(mark).join(text);
}
// Nothing but the page's own script may run, and WebAssembly compile; no
// string may become HTML or a script's address (Trusted Types), but the
// worker's, through the page's one policy. xterm makes <style> elements of
// its own, which a hash would not allow. The icon is inline; only a served
// page asks for its manifest and worker.
const script = page.match(/<script type="module">([\s\S]*?)<\/script>/)[1];
const csp = ["default-src 'none'",
  `script-src 'sha256-${createHash("sha256").update(script).digest("base64")}' 'wasm-unsafe-eval'`,
  "style-src 'unsafe-inline'", "img-src data: 'self'", "manifest-src 'self'", "worker-src 'self'",
  "base-uri 'none'", "form-action 'none'", "require-trusted-types-for 'script'", "trusted-types molagirlik"]
  .join("; ");
page = page.replace("@CSP@", csp)
  .replace("@ICON@", `data:image/svg+xml;base64,${readFileSync(icon).toString("base64")}`);
writeFileSync(output, page);
console.log(`make-page: ${output}, ${Buffer.byteLength(page)} bytes`);
