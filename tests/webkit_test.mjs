// The page in WebKit, the engine of every browser on an iPhone and iPad:
// WebKitGTK's MiniBrowser driven through WebKitWebDriver (run it under
// xvfb-run), at a desktop's size and, in an iframe, at a phone's, as its
// window cannot be that narrow. Each step opens the page afresh, types or
// pastes, and reads the terminal's rows; the test fails when any step does.
//   xvfb-run -a node tests/webkit_test.mjs PAGE.html [WORDS OF A STEP...]
import { spawn } from "node:child_process";
import { mkdtempSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { join, resolve } from "node:path";
import { pathToFileURL } from "node:url";

const require = createRequire(new URL("../web/package.json", import.meta.url));
const { Builder, By, Key } = require("selenium-webdriver");
const [page_file, ...only] = process.argv.slice(2);
const url = pathToFileURL(resolve(page_file)).href;
const browser = process.env.MINIBROWSER ??
  "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser";
const frame = join(mkdtempSync(join(tmpdir(), "webkit-")), "phone.html");
writeFileSync(frame, `<!DOCTYPE html><html lang="tr"><title>390x844</title>
<body style="margin:0"><iframe src="${url}" width="390" height="844" style="border:0"></iframe>`);

const kDecimals = "   Ondalıklı hane adedini, 0 ile 6 arasında olacak şekilde buraya giriniz:";
const sizes = { "1280x800": url, "390x844 in an iframe": pathToFileURL(frame).href };
const steps = [
  ["water, typed with a Backspace", async (shows, keys) => {
    await keys("2", Key.ENTER, "Hx", Key.BACK_SPACE, Key.ENTER, "2", Key.ENTER,
      "O", Key.ENTER, "1", Key.ENTER, "son", Key.ENTER);
    await shows("1. elementin sembolü: H", "2. elementin sembolü: O",
      "                     1. bileşiğin molekül kütlesi: 18.02");
  }],
  ["a compound pasted", async (shows, keys, driver) => {
    await shows(kDecimals);
    await driver.executeScript(() => {
      const data = new DataTransfer();
      data.setData("text/plain", "6\nC 6 H 12 O 6\nson\n");
      document.querySelector(".xterm-helper-textarea").dispatchEvent(
        new ClipboardEvent("paste", { clipboardData: data, bubbles: true, cancelable: true }));
    });
    await shows("                     1. bileşiğin molekül kütlesi: 180.155884");
  }],
  ["a request to another origin is blocked, and said so", async (shows, keys, driver) => {
    const [fetched, violation] = await driver.executeAsyncScript((done) => {
      let said = null;
      document.addEventListener("securitypolicyviolation",
        (event) => { said = `${event.violatedDirective} ${event.blockedURI}`; });
      fetch("http://127.0.0.1:9/").then(() => true, () => false)
        .then((went) => setTimeout(() => done([went, said]), 1000));
    });
    if (fetched || !/^(connect-src|default-src)/.test(violation ?? "")) {
      throw new Error(`the fetch ${fetched ? "went through" : "failed"}; the violation: ${violation}`);
    }
  }],
];
// Run only when named: the test itself must fail when a step does.
const kFailing = "a step that fails, to check that the test then fails";
steps.push([kFailing, async () => { throw new Error("as it must"); }]);

const port = 4400 + (process.pid % 500);
const server = spawn("WebKitWebDriver", [`--port=${port}`], { stdio: "ignore" });
let failures = 0;
try {
  await new Promise((done) => setTimeout(done, 500));
  const driver = await new Builder().usingServer(`http://127.0.0.1:${port}`)
    .withCapabilities({ browserName: "MiniBrowser",
      "webkitgtk:browserOptions": { binary: browser, args: ["--automation"] } }).build();
  try {
    await driver.manage().window().setRect({ width: 1280, height: 800 });
    for (const [size, address] of Object.entries(sizes)) {
      for (const [step, act] of steps) {
        if (only.length > 0 ? !only.some((word) => step.includes(word)) : step === kFailing) continue;
        try {
          await driver.switchTo().defaultContent();
          await driver.get(address);
          if (address !== url) await driver.switchTo().frame(0);
          // Waits until the rows hold each of `lines`, whole.
          const shows = (...lines) => driver.wait(() => driver.executeScript((wanted) => {
            const now = document.querySelector(".xterm-rows")?.innerText
              .replace(/\u00a0/g, " ").split("\n").map((row) => row.trimEnd()) ?? [];
            return wanted.every((line) => now.includes(line));
          }, lines), 10000, `the rows lack one of: ${lines.join(" | ")}`);
          await shows(kDecimals);
          // Typed as a person does, into the terminal clicked first.
          await driver.findElement(By.css(".xterm-screen")).click();
          const keys = (...typed) => driver.actions().sendKeys(...typed).perform();
          await act(shows, keys, driver);
          console.log(`ok WebKit-${size}: ${step}`);
        } catch (error) {
          ++failures;
          console.log(`FAIL WebKit-${size}: ${step}: ${error.message}`);
        }
      }
    }
  } finally {
    await driver.quit();
  }
} finally {
  server.kill();
}
if (failures > 0) {
  console.log(`${failures} steps failed`);
  process.exit(1);
}
