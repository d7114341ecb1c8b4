// Writes the page the browser page's start is weighed against: the same
// pinned terminal, bundled and inlined the same way, writing the program's
// first screen (up to its first prompt) into 80x24, and nothing else.
//   node bench/bare_page.mjs BUILD_FOLDER OUTPUT.html
// BUILD_FOLDER is the page's build (build-web): its web/node_modules and
// its molagirlik-utf8.wasm, run once under node's WASI for the screen.
import { spawnSync } from "node:child_process";
import { mkdirSync, readFileSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { dirname, resolve } from "node:path";
import { fileURLToPath } from "node:url";

import { bundle } from "../web/bundle.mjs";

const [build, output] = process.argv.slice(2).map((path) => resolve(path));
const node_modules = `${build}/web/node_modules`;
const require = createRequire(`${node_modules}/`);
const esbuild = require("esbuild");
const xterm_css = readFileSync(require.resolve("@xterm/xterm/css/xterm.css"), "utf8");

const kPrompt = "Ondalıklı hane adedini, 0 ile 6 arasında olacak şekilde buraya giriniz:";
const run = spawnSync(process.execPath, ["--no-warnings",
  fileURLToPath(new URL("../tests/wasi_run.mjs", import.meta.url)),
  `${build}/molagirlik-utf8.wasm`], { input: "", encoding: "utf8" });
const end = run.stdout.indexOf(kPrompt);
if (end < 0) {
  console.error("bare_page: the program's first prompt was not found in its output");
  process.exit(1);
}
const screen = run.stdout.slice(0, end + kPrompt.length);

const script = await bundle(esbuild, node_modules, {
  stdin: {
    contents: `import { Terminal } from "@xterm/xterm";
const term = new Terminal({ cols: 80, rows: 24, convertEol: true, lineHeight: 1.3,
  fontFamily: '"DejaVu Sans Mono", Consolas, Menlo, monospace' });
term.open(document.getElementById("terminal"));
term.write(${JSON.stringify(screen)});`,
    resolveDir: build,
  },
});

mkdirSync(dirname(output), { recursive: true });
writeFileSync(output, `<!DOCTYPE html>
<html lang="tr">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="description" content="Yalnızca terminal: programın ilk ekranı, karşılaştırma için.">
<title>Terminal</title>
<style>
${xterm_css}
body { margin: 0; background: #000; }
</style>
</head>
<body>
<main><div id="terminal"></div></main>
<script type="module">${script}</script>
</body>
</html>
`);
console.log(`bare_page: ${output}`);
