// The review page of scanmend-pages correct in a real browser: a real
// book reviewed by keyboard and corrected again with the decisions saved;
// decisions that no longer fit the sources, or are damaged, refused with
// nothing written; OCR text that looks like markup shown as text.
"use strict";
const test = require("node:test");
const assert = require("node:assert");
const fs = require("node:fs");
const path = require("node:path");
const { scratch, copyBook, pages, snapshot, launch, openReview, currentRow, walkTo, waitForFile,
  readTable } = require("./support.js");

// Text as an attribute value between double quotes.
const escaped = (text) => text.replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;")
  .replace(/"/g, "&quot;");

test("a real book reviewed by keyboard, saved, and corrected again with the decisions", async () => {
  const work = scratch("review");
  copyBook(work);
  let run = pages(work, ["correct", "src", "out"]);
  assert.equal(run.status, 0, run.err);
  assert.match(run.out, /Review: .*review\.html \(\d+ rows, the lines shown from 2 page images\)/);
  const rows = readTable(path.join(work, "out/review/review.tsv"));
  const changed = rows.filter((row) => row.read !== row.written);
  const rejected = changed.find((row) => row.file === "015.xml" && row.read !== "fie");
  const typed = changed.find((row) => row.file === "015.xml" && row.read !== "fie" &&
    row.read !== rejected.read);
  const group = changed.filter((row) => row.read === "fie" && row.written === "sie");
  assert.ok(rejected && typed && group.length >= 2, "the book has the changes the test decides");
  const before = fs.readFileSync(path.join(work, "out/015.xml"), "utf8");

  const browser = await launch();
  try {
    const downloads = scratch("downloads");
    const errors = [];
    const page = await openReview(browser, path.join(work, "out/review/review.html"), downloads,
      errors);
    assert.equal(await page.$$eval("[data-review-row]", (found) => found.length), rows.length);
    // Line images, lazily: the first rows' have loaded, and show the page.
    await page.waitForFunction(() => {
      const img = document.querySelector(".row img");
      return img && img.complete && img.naturalWidth > 0 && img.classList.contains("placed");
    });

    // Only the changes, by the filter.
    await page.keyboard.press("/");
    await page.keyboard.type("reason:misreading");
    await page.keyboard.press("Enter");
    const visible = await page.$$eval(".row:not(.hidden)", (found) => found.length);
    assert.equal(visible, changed.length);

    // Reject one word; undo; reject again.
    await walkTo(page, Number(rejected.row));
    await page.keyboard.press("r");
    assert.notEqual(await currentRow(page), Number(rejected.row), "r moves on");
    await page.keyboard.press("u");
    assert.equal(await currentRow(page), Number(rejected.row), "u goes back to the row undone");
    assert.equal(await page.$eval('[data-review-row="' + rejected.row + '"]',
      (row) => row.classList.contains("reject")), false);
    await page.keyboard.press("r");
    // Type another word for one.
    await walkTo(page, Number(typed.row));
    await page.keyboard.press("e");
    await page.keyboard.down("Control");
    await page.keyboard.press("a");
    await page.keyboard.up("Control");
    await page.keyboard.type("Meer");
    await page.keyboard.press("Enter");
    // Two words are no decision: the edit stays open until Escape.
    const undecided = await currentRow(page);
    await page.keyboard.press("e");
    await page.keyboard.type("zwei Worte");
    await page.keyboard.press("Enter");
    assert.ok(await page.$eval(".edit input", (input) => input.classList.contains("bad")));
    await page.keyboard.press("Escape");
    assert.equal(await page.$(".edit"), null);
    assert.equal(await page.$eval('[data-review-row="' + undecided + '"] .decision',
      (label) => label.textContent), "");
    // Accept a whole group.
    await walkTo(page, Number(group[0].row));
    await page.keyboard.press("A");
    for (const row of group)
      assert.ok(await page.$eval('[data-review-row="' + row.row + '"]',
        (element) => element.classList.contains("accept")), "row " + row.row + " accepted");

    await page.keyboard.press("s");
    const saved = await waitForFile(path.join(downloads, "decisions.tsv"));
    assert.equal(saved, await page.$eval("#decisions", (element) => element.textContent));
    const lines = saved.trimEnd().split("\n");
    assert.equal(lines[0], fs.readFileSync(path.join(work, "out/review/review.tsv"), "utf8")
      .split("\n")[0] + "\tdecision");
    assert.equal(lines.length, 1 + 2 + group.length);
    assert.ok(lines.includes(Object.values(rejected).join("\t") + "\treject"));
    assert.ok(lines.includes(Object.values(typed).join("\t") + "\tMeer"));

    // Kept while working: a reload shows the decisions again.
    await page.reload();
    await page.waitForSelector("body[data-ready]");
    assert.ok(await page.$eval('[data-review-row="' + rejected.row + '"]',
      (row) => row.classList.contains("reject")));
    assert.deepEqual(errors, []);

    run = pages(work, ["correct", "--decisions", path.join(downloads, "decisions.tsv"), "src", "out"]);
    assert.equal(run.status, 0, run.err);
    // The learner learns from the decisions, so other words may change
    // too; every change is a row of the new review. The file is the one
    // exported before, each word as the source has it with the new
    // review's changes made, byte for byte.
    const next = readTable(path.join(work, "out/review/review.tsv"));
    const source = fs.readFileSync(path.join(work, "src/015.xml"), "utf8");
    const contentOf = new Map([...source.matchAll(/<String ID="([^"]*)"[^>]*CONTENT="([^"]*)"/g)]
      .map((match) => [match[1], match[2]]));
    for (const row of next)
      if (row.file === "015.xml" && row.read !== row.written)
        contentOf.set(row.id, contentOf.get(row.id).replace(escaped(row.read), escaped(row.written)));
    const expected = before.replace(/(<String ID="([^"]*)"[^>]*CONTENT=")[^"]*(")/g,
      (all, head, id, tail) => head + contentOf.get(id) + tail);
    assert.ok(fs.readFileSync(path.join(work, "out/015.xml")).equals(Buffer.from(expected)),
      "015.xml exported as the review says, byte for byte");
    const placed = (row) => next.find((other) => other.file === row.file &&
      other.line === row.line && other.word === row.word);
    assert.equal(placed(rejected).written, rejected.read, "the rejected word as read");
    assert.equal(placed(typed).written, "Meer", "the typed word");

    // The next review shows what was decided.
    const again = await openReview(browser, path.join(work, "out/review/review.html"), downloads,
      errors);
    const kept = next.find((row) => row.file === rejected.file && row.line === rejected.line &&
      row.word === rejected.word);
    assert.ok(kept, "the rejected word is listed again");
    assert.equal(kept.written, rejected.read);
    assert.ok(await again.$eval('[data-review-row="' + kept.row + '"]',
      (row) => row.classList.contains("reject")));
    assert.deepEqual(errors, []);
  } finally {
    await browser.close();
  }
});

test("decisions that no longer fit the sources, or are damaged, are refused and nothing is written",
  async () => {
    const work = scratch("stale");
    copyBook(work);
    assert.equal(pages(work, ["correct", "src", "out"]).status, 0);
    const rows = readTable(path.join(work, "out/review/review.tsv"));
    const decided = rows.find((row) => row.read !== row.written && row.file === "016.xml");
    // Saved from the page, as a person would.
    const browser = await launch();
    const downloads = scratch("downloads");
    try {
      const page = await openReview(browser, path.join(work, "out/review/review.html"), downloads,
        []);
      await walkTo(page, Number(decided.row));
      await page.keyboard.press("r");
      await page.keyboard.press("s");
      await waitForFile(path.join(downloads, "decisions.tsv"));
    } finally {
      await browser.close();
    }
    const saved = fs.readFileSync(path.join(downloads, "decisions.tsv"), "utf8");
    const [header, row] = saved.trimEnd().split("\n");
    const write = (name, text) => {
      fs.writeFileSync(path.join(work, name), text);
      return path.join(work, name);
    };
    const cells = row.split("\t");
    const column = (name) => header.split("\t").indexOf(name);
    const withCell = (name, value) => cells.map((cell, k) => (k === column(name) ? value : cell))
      .join("\t");
    const place = "016.xml line " + decided.line + ", word " + decided.word;
    const cases = [
      ["no decision column", header.replace("\tdecision", "") + "\n" + row + "\n",
        /line 1: the header has no column "decision"/],
      ["a row cut short", header + "\n" + cells.slice(0, 5).join("\t") + "\n",
        /line 2: has 5 cells where the header has 19/],
      ["a line that is no number", header + "\n" + withCell("line", "zwölf") + "\n",
        /line 2: the line "zwölf" and word "\d+" are not numbers from 1/],
      ["a file not corrected", header + "\n" + withCell("file", "099.xml") + "\n",
        /line 2: 099.xml line \d+, word \d+: no such file among the files corrected/],
      ["a word that is not there", header + "\n" + withCell("word", "99") + "\n",
        /line 2: 016.xml line \d+, word 99: the line has no such word/],
      ["a stale word as read", header + "\n" + withCell("read", "Xyz") + "\n",
        new RegExp("line 2: " + place + ": the word as read is \"" + decided.read +
          "\" now, not \"Xyz\" as the row says")],
      ["two words typed", header + "\n" + withCell("decision", "zwei Worte") + "\n",
        new RegExp("line 2: " + place + ": the word typed, \"zwei Worte\", holds a space")],
      ["the same word decided twice", header + "\n" + row + "\n" + row + "\n",
        new RegExp("line 3: " + place + ": decided already in line 2")],
    ];
    const before = snapshot(work + "/out");
    for (const [name, table, message] of cases) {
      const run = pages(work, ["correct", "--decisions", write("decisions.tsv", table), "src", "out"]);
      assert.equal(run.status, 1, name + ": " + run.err);
      assert.match(run.err, message, name);
      assert.match(run.err, /nothing written/, name);
      assert.deepEqual(snapshot(work + "/out"), before, name + ": nothing written");
    }

    // The source changed since the review: its word is not what was read.
    const source = path.join(work, "src/016.xml");
    const changed = fs.readFileSync(source, "utf8").replace(
      new RegExp('(<String ID="' + decided.id + '"[^>]*CONTENT=")[^"]*'), "$1Anders");
    fs.writeFileSync(source, changed);
    const run = pages(work, ["correct", "--decisions", path.join(downloads, "decisions.tsv"), "src",
      "out"]);
    assert.equal(run.status, 1, run.err);
    assert.match(run.err, new RegExp("decisions.tsv line 2: " + place +
      ": the word as read is \"Anders\" now, not \"" + decided.read + "\""));
    assert.deepEqual(snapshot(work + "/out"), before, "nothing written for a changed source");
  });

test("OCR text that looks like markup is shown as text", async () => {
  const work = scratch("markup");
  copyBook(work);
  const source = path.join(work, "src/015.xml");
  const hostile = "&lt;img src=x onerror=&quot;document.title=&apos;owned&apos;&quot;&gt;&lt;/script&gt;";
  fs.writeFileSync(source, fs.readFileSync(source, "utf8")
    .replace(/CONTENT="[^"]*"/, 'CONTENT="' + hostile + '"'));
  assert.equal(pages(work, ["correct", "--confidence-below", "1", "src", "out"]).status, 0);
  const browser = await launch();
  try {
    const errors = [];
    const page = await openReview(browser, path.join(work, "out/review/review.html"),
      scratch("downloads"), errors);
    assert.equal(await page.title(), "Review of out");
    const shown = await page.$eval(".row .ctx mark", (mark) => mark.textContent).catch(() => "");
    const text = await page.$eval("main", (main) => main.textContent);
    assert.ok(text.includes("<img src=x onerror=\"document.title='owned'\"></script>"), shown);
    assert.equal(await page.$$eval("main img:not([data-src])", (found) => found.length), 0);
    assert.deepEqual(errors, []);
  } finally {
    await browser.close();
  }
});
