// The app, offline and the policy: served from a folder, kept offline and
// updated; requests and HTML strings refused; the program not loaded, or
// trapping, said in Turkish.
import { execFileSync } from "node:child_process";
import { readFileSync, writeFileSync } from "node:fs";
import { join } from "node:path";
import { fileURLToPath, pathToFileURL } from "node:url";

import { control, every, fail, kDecimals, kFolder, kStopped, serve, served, shots, stop, url } from "./setup.mjs";

export const steps = [
  ["a request to another origin is blocked, and said so", ["1280x800"], async (p) => {
    await p.shows(kDecimals);
    const [fetched, violation] = await p.page.evaluate(async () => {
      const seen = new Promise((done) => document.addEventListener("securitypolicyviolation",
        (event) => done(`${event.violatedDirective} ${event.blockedURI}`), { once: true }));
      const fetched = await fetch("http://127.0.0.1:9/").then(() => true, () => false);
      return [fetched, await Promise.race([seen, new Promise((done) => setTimeout(done, 3000))])];
    });
    if (fetched || !/^(connect-src|default-src)/.test(violation ?? "")) {
      fail(`the fetch ${fetched ? "went through" : "failed"}; the violation: ${violation}`);
    }
  }],
  ["no HTML is written into the page as a string (Trusted Types)", ["1280x800"], async (p, name) => {
    await p.shows(kDecimals);
    // Firefox ESR does not enforce them yet (Firefox does from 148).
    if (!name.startsWith("Chromium")) return;
    const [refused, violation] = await p.page.evaluate(async () => {
      const seen = new Promise((done) => document.addEventListener("securitypolicyviolation",
        (event) => done(event.violatedDirective), { once: true }));
      let refused = false;
      try {
        document.getElementById("end-text").innerHTML = "<b>yazı</b>";
      } catch (error) {
        refused = error instanceof TypeError;
      }
      return [refused, await Promise.race([seen, new Promise((done) => setTimeout(done, 3000))])];
    });
    if (!refused || violation !== "require-trusted-types-for") {
      fail(`an HTML string was ${refused ? "refused" : "taken"}; the violation: ${violation}`);
    }
  }],
  ["built without 'wasm-unsafe-eval', the program is not loaded, in Turkish", ["1280x800"], async (p) => {
    p.errors_expected = true;  // the browser's own words on what it blocked
    await p.page.goto(pathToFileURL(control).href);
    await p.shows("Program yüklenemedi. Yeniden başlatmayı ya da başka bir tarayıcıyı deneyin.");
  }],
  ["served: installable, kept offline, updated, and nothing blocked", ["1280x800"], async (p, name) => {
    let server = await serve();
    const folder = `http://127.0.0.1:${server.address().port}${kFolder}`;
    const address = `${folder}molagirlik.html`;
    const chromium = name.startsWith("Chromium");
    const page_path = join(served, "molagirlik.html");
    const built = readFileSync(page_path, "utf8");
    try {
      await p.page.goto(address);
      await p.shows(kDecimals);
      if (chromium) {
        // Even a request to the page's own server is none of its business.
        const own = await p.page.evaluate(() => fetch("manifest.webmanifest").then(() => true, () => false));
        if (own) fail("a request to the page's own server went through");
        const cdp = await p.page.createCDPSession();
        const { installabilityErrors } = await cdp.send("Page.getInstallabilityErrors");
        if (installabilityErrors.length > 0) fail(`not installable: ${JSON.stringify(installabilityErrors)}`);
        const { url: manifest_url, errors, data } = await cdp.send("Page.getAppManifest");
        if (errors.length > 0) fail(`the manifest: ${JSON.stringify(errors)}`);
        const manifest = JSON.parse(data);
        const missing = ["name", "short_name", "start_url", "scope", "display", "icons"]
          .filter((key) => !(key in manifest));
        if (missing.length > 0) fail(`the manifest lacks ${missing.join(", ")}`);
        // Installed from a folder of the school's server, it opens there.
        const start = new URL(manifest.start_url, manifest_url).href;
        const scope = new URL(manifest.scope, manifest_url).href;
        if (start !== address || scope !== folder) fail(`the app starts at ${start}, in ${scope}`);
        // The maskable icon alone says so: a launcher crops it to a circle.
        const purposes = manifest.icons.map((icon) => `${icon.src} ${icon.purpose ?? "any"}`).join(", ");
        if (purposes !== "icon-192.png any, icon-512.png any, icon-512-maskable.png maskable") {
          fail(`the icons: ${purposes}`);
        }
        // Registered once the first screen is up: activated within 10 s.
        await p.page.evaluate(() => navigator.serviceWorker.ready.then(({ active }) =>
          active.state === "activated" ? active.state : new Promise((done) => {
            active.addEventListener("statechange", () => active.state === "activated" && done(active.state));
            setTimeout(() => done(active.state), 10000);
          })))
          .then((state) => state === "activated" || fail(`the worker is ${state}`));
        // What the worker keeps comes from its cache first, even while the
        // server has another.
        writeFileSync(page_path, built.replace("<title>Molekül", "<title>Sunucudaki Molekül"));
        await p.page.reload();
        if ((await p.page.title()).startsWith("Sunucudaki")) fail("the worker asked the network first");
        writeFileSync(page_path, built);
        // The server stopped: the page comes from the worker's cache, and
        // so do the icons an installed app shows.
        const port = server.address().port;
        await stop(server);
        await p.page.reload();
        await p.shows(kDecimals);
        await p.enter("2", "H 2 O 1 son");
        await p.shows("                     1. bileşiğin molekül kütlesi: 18.02");
        const kept = await p.page.evaluate(async (icons) => {
          const [name] = await caches.keys();
          const cache = await caches.open(name);
          return Promise.all(icons.map(async (icon) => (await cache.match(icon)) !== undefined));
        }, manifest.icons.map((icon) => icon.src));
        if (!kept.every(Boolean)) fail(`icons not kept offline: ${manifest.icons.filter((_, i) => !kept[i]).map((i) => i.src)}`);
        // A new build on the server, made as the build makes it: the next
        // visit shows it.
        const [old_cache] = await p.page.evaluate(() => caches.keys());
        writeFileSync(page_path, built.replace("<title>Molekül", "<title>Yeni Molekül"));
        execFileSync("node", [fileURLToPath(new URL("../../web/make-app.mjs", import.meta.url)), page_path,
          fileURLToPath(new URL("../../data/molagirlik.svg", import.meta.url))]);
        server = await serve(port);
        await p.page.goto(address);
        await p.page.waitForFunction(async (old) => {
          const names = await caches.keys();
          return names.length === 1 && names[0] !== old;
        }, { timeout: 15000 }, old_cache).catch(() => fail("the new build's worker did not take over"));
        await p.page.goto(address);
        const title = await p.page.title();
        if (!title.startsWith("Yeni")) fail(`the next visit shows "${title}"`);
      } else {
        await p.enter("2", "H 2 O 1 son");
        await p.shows("                     1. bileşiğin molekül kütlesi: 18.02");
      }
      const violations = (await p.page.evaluate(() => globalThis.violations))
        .filter((v) => !v.endsWith("manifest.webmanifest"));
      if (violations.length > 0) fail(`blocked: ${violations.join("; ")}`);
    } finally {
      server.listening && await stop(server);
      if (readFileSync(page_path, "utf8") !== built) {
        writeFileSync(page_path, built);
        execFileSync("node", [fileURLToPath(new URL("../../web/make-app.mjs", import.meta.url)), page_path,
          fileURLToPath(new URL("../../data/molagirlik.svg", import.meta.url))]);
      }
    }
  }],
  ["without WebAssembly, a Turkish message", every, async (p, name) => {
    await p.shows("Bu tarayıcı programı çalıştıramıyor: WebAssembly desteklenmiyor ya da");
    await p.inside("için Kilitleme Modu'nu kapatın.");
    if (!await p.page.evaluate(() => document.getElementById("again").hidden)) fail("a button that does nothing");
    await p.page.screenshot({ path: `${shots}/${name}-no-webassembly.png` });
  }, () => { delete globalThis.WebAssembly; }],
  // Safari before 16.4 and Firefox before 113: the page unpacks the
  // program itself.
  ["without DecompressionStream, water all the same", ["390x844"], async (p) => {
    await p.enter("2", "H 2 O 1 son");
    await p.shows("                     1. bileşiğin molekül kütlesi: 18.02");
  }, () => { delete globalThis.DecompressionStream; }],
  ["a read that traps: a Turkish line on screen, and a restart", every, async (p, name) => {
    await p.shows(kDecimals);
    await p.page.evaluate(() => { globalThis.trap_read = true; });
    await p.enter("2");
    await p.shows(kStopped);
    await p.inside(kStopped);
    if (await p.status() !== kStopped) fail(`the status reads "${await p.status()}"`);
    if (/unreachable|RuntimeError/.test(await p.screen())) fail("the engine's words are on screen");
    await p.page.screenshot({ path: `${shots}/${name}-trap.png` });
    await p.page.click("#again");
    await p.shows(kDecimals);
    await p.enter("2", "H 2 O 1 son");
    await p.shows("                     1. bileşiğin molekül kütlesi: 18.02");
  }],
];
