// The page, opened as a local file in Chromium and in Firefox, each at a
// desktop's size and at two phones': a person types, edits, pastes, copies
// and restarts, and the test reads what the terminal's rows show. Each
// step opens the page afresh and is reported on its own; the test fails
// when any step does. axe-core audits the page at the first prompt, in
// mid-session and at the end. The steps stand in tests/browser/, a file a
// concern; what they share, in tests/browser/setup.mjs.
//   node tests/browser_test.mjs PAGE.html SCREENSHOT_FOLDER [WORDS OF STEPS...]
import { steps as announced } from "./browser/announced_steps.mjs";
import { steps as app } from "./browser/app_steps.mjs";
import { steps as layout } from "./browser/layout_steps.mjs";
import { steps as paste } from "./browser/paste_steps.mjs";
import { browsers, fail, instrument, only, person, puppeteer, shots, sizes, url } from "./browser/setup.mjs";
import { steps as typing } from "./browser/typing_steps.mjs";

const steps = [...typing, ...layout, ...paste, ...announced, ...app];
// Run only when named: the test itself must fail when a step does.
const kFailing = "a step that fails, to check that the test then fails";
steps.push([kFailing, ["1280x800"], () => fail("as it must")]);

let failures = 0;
for (const [browser_name, launch] of Object.entries(browsers)) {
  const browser = await puppeteer.launch({ headless: true, ...launch });
  const firefox = browser_name === "Firefox";
  try {
    for (const [size_name, viewport] of Object.entries(sizes)) {
      for (const [step, where, act, before = instrument] of steps) {
        if (!where.includes(size_name)) continue;
        if (only.length > 0 ? !only.some((word) => step.includes(word)) : step === kFailing) continue;
        const name = `${browser_name}-${size_name}`;
        const page = await browser.newPage();
        const errors = [];  // thrown in the page
        try {
          page.on("pageerror", (error) => errors.push(error.message));
          await page.setViewport(viewport);
          await page.evaluateOnNewDocument(before);
          await page.goto(url);
          const who = person(page, firefox);
          page.on("console", (message) => message.type() === "error" &&
            who.console_errors.push(message.text()));
          await act(who, name);
          if (errors.length > 0 && !who.errors_expected) fail(`page errors: ${errors.join("; ")}`);
          console.log(`ok ${name}: ${step}`);
        } catch (error) {
          ++failures;
          console.log(`FAIL ${name}: ${step}: ${error.message}`);
        } finally {
          await page.close();
        }
      }
    }
  } finally {
    await browser.close();
  }
}
console.log(`screenshots in ${shots}`);
if (failures > 0) {
  console.log(`${failures} steps failed`);
  process.exit(1);
}
