// What is announced: a paste is announced once, by its last answer (a
// typed session's announcements are read in typing_steps.mjs).
import { fail, kDecimals } from "./setup.mjs";

export const steps = [
  ["a paste is announced once, by its last answer", ["1280x800"], async (p) => {
    await p.shows(kDecimals);
    let total = 0;
    for (const count of [3, 2000]) {
      const before = (await p.said()).length;
      await p.compounds(total += count, "2\nH 1\nson\n", count);
      const said = (await p.said()).slice(before);
      if (said.length !== 1 || !said[0].startsWith(`${total}. bileşiğin molekül kütlesi: 1.01\n`) ||
          said[0].includes(`${total - 1}. bileşiğin`)) {
        fail(`a paste of ${count} said: ${JSON.stringify(said).slice(0, 300)}`);
      }
      await p.enter("c");
      await p.shows(kDecimals);
    }
  }],
];
