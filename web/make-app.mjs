// Writes, beside the page, what makes it an app where it is served: the
// web app manifest, the icons drawn from the program's SVG (with
// rsvg-convert), and a service worker that keeps them all for offline use
// under a cache named after their content.
//   node web/make-app.mjs PAGE.html ICON.svg
import { execFileSync } from "node:child_process";
import { createHash } from "node:crypto";
import { readFileSync, writeFileSync } from "node:fs";
import { basename, dirname, join } from "node:path";

const [page, icon] = process.argv.slice(2);
const folder = dirname(page);
const svg = readFileSync(icon, "utf8");
const kBackground = "#1e1e1e";  // the page's own

// A maskable icon keeps its drawing inside the middle 80%: the whole icon,
// smaller, on the page's colour.
const inner = svg.replace(/^[\s\S]*?<svg[^>]*>/, "").replace(/<\/svg>\s*$/, "");
const maskable = `<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
<rect width="256" height="256" fill="${kBackground}"/><g transform="translate(25.6 25.6) scale(0.8)">${inner}</g></svg>`;
const icons = [["icon-192.png", 192, svg, "any"], ["icon-512.png", 512, svg, "any"],
  ["icon-512-maskable.png", 512, maskable, "maskable"]];
for (const [name, size, drawing] of icons) {
  try {
    writeFileSync(join(folder, name), execFileSync("rsvg-convert",
      ["-w", String(size), "-h", String(size), "-f", "png"], { input: drawing }));
  } catch (error) {
    console.error(`make-app: rsvg-convert could not draw ${name} (scripts/install-deps --web): ${error.message}`);
    process.exit(1);
  }
}

const manifest = {
  name: "Molekül Ağırlığı Hesaplama",
  short_name: "Molekül Ağırlığı",
  lang: "tr",
  start_url: basename(page),
  scope: "./",
  display: "standalone",
  background_color: kBackground,
  theme_color: kBackground,
  icons: icons.map(([src, size, , purpose]) => ({ src, sizes: `${size}x${size}`, type: "image/png", purpose })),
};
writeFileSync(join(folder, "manifest.webmanifest"), `${JSON.stringify(manifest, null, 2)}\n`);

const files = [basename(page), "manifest.webmanifest", ...icons.map(([name]) => name)];
const hash = createHash("sha256");
for (const file of files) hash.update(readFileSync(join(folder, file)));
const worker = readFileSync(new URL("sw.js", import.meta.url), "utf8")
  .replace("@CACHE@", `molagirlik-${hash.digest("hex").slice(0, 16)}`)
  .replace("@FILES@", JSON.stringify(files));
writeFileSync(join(folder, "sw.js"), worker);
console.log(`make-app: ${files.slice(1).join(", ")} and sw.js beside ${basename(page)}`);
