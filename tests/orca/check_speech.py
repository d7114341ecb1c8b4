#!/usr/bin/python3
"""Checks what Orca said of the water session (orca-say's speech.txt, with
FINAL_ENTER=1): the opening instruction before the first key, each prompt
after the Enter that it follows, the result before the closing block,
"Program sona erdi." at the end; no typed line nor announcement said again,
no region's name before the program's words, and no run of spaces.
    check_speech.py speech.txt [PAGE.html]"""
import ast, re, sys

events = []  # ("key", step) or ("says", text)
for line in open(sys.argv[1], encoding="utf-8"):
    m = re.match(r"^\S+ +(>>|SAYS) (.*?)(   \[voice .*\])?$", line.rstrip("\n"))
    if m:
        events.append(("key", m.group(2)) if m.group(1) == ">>"
                      else ("says", ast.literal_eval(m.group(2))))

# What was said between each step and the next, spaces made one.
segments = [("the page opening", [])]
for kind, what in events:
    if kind == "key":
        segments.append((what, []))
    else:
        segments[-1][1].append(what)
flat = lambda said: re.sub(r"\s+", " ", " ".join(said))
problems = []

def said_in(segment, *wanted, in_order=False):
    name, said = segment
    text = flat(said)
    missing = [w for w in wanted if w not in text]
    if missing:
        problems.append(f"after {name}: not said: {missing} (said: {text!r})")
    elif in_order and [text.index(w) for w in wanted] != sorted(text.index(w) for w in wanted):
        problems.append(f"after {name}: not in the order {wanted}: {text!r}")

def step(name):
    found = [segment for segment in segments if segment[0] == name]
    if not found:
        problems.append(f"no step {name!r}")
    return found[0] if found else (name, [])

# Up to the first key: the title, the instruction and the first prompt.
opening = ("the page opening", [s for _, said in segments[:2] for s in said])
said_in(opening, "MOLEKÜL AĞIRLIĞI HESAPLAMA", "Element sembolü yerine 'son' girerek çıkabilir",
        "Ondalıklı hane adedini", in_order=True)
# Each Enter, and the prompt it leads to.
prompts = ["1. elementin sembolü:", "1. elementin adedi :", "2. elementin sembolü:",
           "2. elementin adedi :", "3. elementin sembolü:"]
entered = [segment for segment in segments if segment[0].startswith("presses Enter (after")]
for segment, prompt in zip(entered, prompts):
    said_in(segment, prompt)
for name, said in entered:
    typed = re.match(r"presses Enter \(after '(.*)'\)$", name).group(1)
    if any(s.strip() == typed for s in said):
        problems.append(f"after {name}: the typed {typed!r} said again")
# Nothing the program said is said again, whole or with more after it.
earlier = []
for name, said in [opening] + entered:
    # (Orca's echo of a key ends in a space.)
    said = [text for text in said if not text.endswith(" ")]
    for text in said:
        again = [p for p in earlier if len(p) > 3 and text.startswith(p)]
        if again:
            problems.append(f"after {name}: said again: {text!r}")
    earlier += said
said_in(step("presses Enter (after 'son')"), "1. bileşiğin molekül kütlesi: 18.02",
        "ÇIKMAK İÇİN ENTER TUŞUNA BASINIZ", in_order=True)
said_in(step("presses Enter (at the last question)"), "Program sona erdi.")
kOrcasOwn = {"Loading.  Please wait."}
# The names the page gives its regions (none today: the program's words are
# said alone), and the one they once had.
region_names = {"Programın söyledikleri"}
if len(sys.argv) > 2:
    region_names |= set(re.findall(r'aria-label="([^"]+)"', open(sys.argv[2], encoding="utf-8").read()))
for kind, what in events:
    if kind == "says" and any(name in what for name in region_names):
        problems.append(f"a region's name said: {what!r}")
    # Orca's log indents a text's later lines; within a line, one space.
    if kind == "says" and what not in kOrcasOwn and any("  " in line.strip() for line in what.split("\n")):
        problems.append(f"a run of spaces: {what!r}")
for problem in problems:
    print("FAIL:", problem)
sys.exit(1 if problems else 0)
