// A review as a person with the true text beside the page does it: the
// review page opened in headless chromium, its first ROWS rows in the
// order shown walked by keyboard, each accepted (the word written is the
// true one), rejected (the word as read is) or edited (the true word typed),
// and the decisions saved. A row whose word has no true word in its place
// is left undecided. The true word of each word read is found by aligning
// the page's words with the true ones, letter by letter.
//   node bench/review_session.js REVIEW_HTML SOURCE_ALTO TRUTH ROWS DOWNLOADS
// TRUTH is Windows-1252 text; the decisions go to DOWNLOADS/decisions.tsv.
"use strict";
const path = require("node:path");
const fs = require("node:fs");
// Chromium as the browser tests start it.
const { launch } = require(path.resolve(__dirname, "../tests/browser/support.js"));

const separators = /[ ,.\-;:!?'+&%$§^°()=/[\]"\n\r\t«»]+/;

function decode1252(bytes) {
  const high = "€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ";
  let text = "";
  for (const byte of bytes) text += byte >= 0x80 && byte < 0xA0 ? high[byte - 0x80] : String.fromCharCode(byte);
  return text;
}

function unescapeXml(text) {
  return text.replace(/&(lt|gt|amp|quot|apos|#x[0-9a-fA-F]+|#[0-9]+);/g, (all, name) =>
    ({ lt: "<", gt: ">", amp: "&", quot: '"', apos: "'" })[name] ||
    String.fromCodePoint(name[1] === "x" ? parseInt(name.slice(2), 16) : parseInt(name.slice(1), 10)));
}

// The words of the ALTO as the correction cuts them, each with its line
// and its place in the line (both from 1).
function altoWords(alto) {
  const words = [];
  let line = 0;
  for (const textLine of alto.split(/<TextLine\b/).slice(1)) {
    const contents = [...textLine.matchAll(/<(?:String|HYP)\b[^>]*?CONTENT="([^"]*)"/g)]
      .map((match) => unescapeXml(match[1]));
    if (!contents.length) continue;
    ++line;
    let number = 0;
    for (const content of contents)
      for (const word of content.split(separators).filter(Boolean))
        words.push({ line, number: ++number, text: word });
  }
  return words;
}

// The words as the scoring compares them: long s as s.
const plain = (word) => word.replace(/ſ/g, "s");

function similarity(a, b) {
  a = plain(a).toLowerCase();
  b = plain(b).toLowerCase();
  const row = Array.from({ length: b.length + 1 }, (_, k) => k);
  for (let i = 1; i <= a.length; ++i) {
    let diagonal = row[0];
    row[0] = i;
    for (let j = 1; j <= b.length; ++j) {
      const above = row[j];
      row[j] = Math.min(row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] === b[j - 1] ? 0 : 1));
      diagonal = above;
    }
  }
  return 1 - row[b.length] / Math.max(a.length, b.length, 1);
}

// For each word read, the true word in its place, or undefined: the
// alignment of most likeness, a word left out costing a little.
function trueWords(read, truth) {
  const n = read.length, m = truth.length, gap = -0.2;
  const score = Array.from({ length: n + 1 }, () => new Float64Array(m + 1));
  for (let i = 1; i <= n; ++i) score[i][0] = i * gap;
  for (let j = 1; j <= m; ++j) score[0][j] = j * gap;
  for (let i = 1; i <= n; ++i)
    for (let j = 1; j <= m; ++j)
      score[i][j] = Math.max(score[i - 1][j - 1] + similarity(read[i - 1].text, truth[j - 1]) - 0.4,
        score[i - 1][j] + gap, score[i][j - 1] + gap);
  const found = new Array(n);
  for (let i = n, j = m; i > 0 && j > 0;) {
    if (score[i][j] === score[i - 1][j - 1] + similarity(read[i - 1].text, truth[j - 1]) - 0.4) {
      found[i - 1] = truth[j - 1];
      --i;
      --j;
    } else if (score[i][j] === score[i - 1][j] + gap) {
      --i;
    } else {
      --j;
    }
  }
  return found;
}

(async () => {
  const [html, alto, truthFile, rowCount, downloads] = process.argv.slice(2);
  const read = altoWords(fs.readFileSync(alto, "utf8"));
  // The truth with its words broken at line ends joined, as scored.
  const truth = decode1252(fs.readFileSync(truthFile)).replace(/[=¬-]\r?\n/g, "")
    .split(separators).filter(Boolean);
  const aligned = trueWords(read, truth);
  const truthAt = new Map(read.map((word, k) => [word.line + ":" + word.number, aligned[k]]));

  const browser = await launch();
  const page = await browser.newPage();
  const session = await page.createCDPSession();
  await session.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: downloads });
  await page.goto("file://" + path.resolve(html));
  await page.waitForSelector("body[data-ready]");
  const counts = { accept: 0, reject: 0, typed: 0, left: 0 };
  const listed = await page.evaluate(() =>
    JSON.parse(document.getElementById("review-data").textContent).rows.length);
  const walked = Math.min(Number(rowCount), listed);
  for (let k = 0; k < walked; ++k) {
    const row = await page.$eval(".row.current", (element) => {
      const data = JSON.parse(document.getElementById("review-data").textContent);
      const cells = data.rows[Number(element.dataset.i)];
      const at = (name) => cells[data.columns.indexOf(name)];
      return { line: at("line"), word: at("word"), read: at("read"), written: at("written") };
    });
    const right = truthAt.get(row.line + ":" + row.word);
    if (right === undefined || /\s/.test(right)) {
      ++counts.left;
      await page.keyboard.press("j");
    } else if (right === plain(row.written)) {
      ++counts.accept;
      await page.keyboard.press("a");
    } else if (right === plain(row.read)) {
      ++counts.reject;
      await page.keyboard.press("r");
    } else {
      ++counts.typed;
      await page.keyboard.press("e");
      await page.keyboard.down("Control");
      await page.keyboard.press("a");
      await page.keyboard.up("Control");
      await page.keyboard.type(right);
      await page.keyboard.press("Enter");
    }
  }
  await page.keyboard.press("s");
  const saved = path.join(downloads, "decisions.tsv");
  for (let wait = 0; wait < 100 && !fs.existsSync(saved); ++wait)
    await new Promise((resolve) => setTimeout(resolve, 100));
  console.log("rows walked: " + walked + "; accepted " + counts.accept + ", rejected " +
    counts.reject + ", typed " + counts.typed + ", left " + counts.left);
  await browser.close();
})().catch((error) => {
  console.error(error);
  process.exit(1);
});
