// Writes the one self-contained page: the terminal's script and styles,
// the page's modules, the program and the icon, inlined into page.html,
// with a Content-Security-Policy that allows its one script by its hash.
//   node web/make-page.mjs PROGRAM.wasm XTERM_PACKAGE_FOLDER OUTPUT.html ICON.svg
import { createHash } from "node:crypto";
import { readFileSync, writeFileSync } from "node:fs";

const here = new URL(".", import.meta.url);
const read = (path) => readFileSync(new URL(path, here), "utf8");
const [wasm, xterm_folder, output, icon] = process.argv.slice(2);
const read_xterm = (path) => readFileSync(`${xterm_folder}/${path}`, "utf8");

let xterm;
try {
  xterm = read_xterm("lib/xterm.mjs");
} catch {
  console.error(`make-page: the terminal is missing from ${xterm_folder}`);
  process.exit(1);
}
// The module's one export becomes a name in the page's own module.
const exported = /export\s*\{\s*([\w$]+) as Terminal\s*\};?/;
if (!exported.test(xterm)) {
  console.error("make-page: xterm.mjs no longer ends in its Terminal export");
  process.exit(1);
}
xterm = xterm.replace(exported, "const XTerminal = $1;")
  .replace(/\n\/\/# sourceMappingURL=.*\n?$/, "\n");

// The page's modules, bundled into one script: each but the last runs in a
// function of its own and gives back what it exports; an import becomes a
// look-up of those. The last, page.js, is the script's own top level.
const kModules = ["flow.js", "program.js", "line_discipline.js", "announcer.js",
  "layout.js", "app.js", "page.js"];
function bundle() {
  const parts = [];
  for (const name of kModules) {
    const exported = [];
    let source = read(name)
      .replace(/^import \{([^}]*)\} from "\.\/([\w]+\.js)";$/gm, (_, names, from) => {
        if (!kModules.slice(0, kModules.indexOf(name)).includes(from)) {
          console.error(`make-page: ${name} imports ${from}, which comes after it`);
          process.exit(1);
        }
        return `const {${names}} = modules["${from}"];`;
      })
      .replace(/^export ((?:async )?(?:function\*?|class|const|let) )([\w$]+)/gm,
        (_, kind, exported_name) => (exported.push(exported_name), kind + exported_name));
    if (/^\s*(import|export)\b/m.test(source)) {
      console.error(`make-page: ${name} has an import or export this bundling does not know`);
      process.exit(1);
    }
    if (name !== kModules.at(-1)) {
      source = `modules["${name}"] = (() => {\n${source}\nreturn { ${exported.join(", ")} };\n})();`;
    }
    parts.push(`// ${name}\n${source}`);
  }
  return `const modules = {};\n${parts.join("\n")}`;
}

const parts = {
  "@XTERM_CSS@": read_xterm("css/xterm.css"),
  "@XTERM_JS@": xterm,
  "@PROGRAM@": readFileSync(wasm).toString("base64"),
  "@PAGE_JS@": bundle(),
};
let page = read("page.html");
for (const [mark, text] of Object.entries(parts)) {
  if (/<\/(script|style)/i.test(text)) {
    console.error(`make-page: ${mark} would end its element early`);
    process.exit(1);
  }
  page = page.split(mark).join(text);
}
// Nothing but the page's own script may run, and WebAssembly compile;
// xterm makes <style> elements of its own, which a hash would not allow.
// The icon is inline; only a served page asks for its manifest and worker.
const script = page.match(/<script type="module">([\s\S]*?)<\/script>/)[1];
const csp = ["default-src 'none'",
  `script-src 'sha256-${createHash("sha256").update(script).digest("base64")}' 'wasm-unsafe-eval'`,
  "style-src 'unsafe-inline'", "img-src data: 'self'", "manifest-src 'self'", "worker-src 'self'",
  "base-uri 'none'", "form-action 'none'"].join("; ");
page = page.replace("@CSP@", csp)
  .replace("@ICON@", `data:image/svg+xml;base64,${readFileSync(icon).toString("base64")}`);
writeFileSync(output, page);
console.log(`make-page: ${output}, ${Buffer.byteLength(page)} bytes`);
