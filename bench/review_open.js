// How long the review page of a book takes to open in headless chromium:
// from the start of loading to the page's rows shown and ready for keys.
//   node bench/review_open.js REVIEW_HTML     (after npm ci in tests/browser)
"use strict";
const path = require("node:path");
// Chromium as the browser tests start it.
const { launch } = require(path.resolve(__dirname, "../tests/browser/support.js"));

(async () => {
  const file = path.resolve(process.argv[2]);
  const browser = await launch();
  const times = [];
  for (let round = 0; round < 3; ++round) {
    const page = await browser.newPage();
    await page.setViewport({ width: 1100, height: 900 });
    const start = Date.now();
    await page.goto("file://" + file);
    await page.waitForSelector("body[data-ready]");
    times.push(Date.now() - start);
    const rows = await page.evaluate(() => document.querySelectorAll("[data-review-row]").length);
    if (round === 0) console.log("rows: " + rows);
    await page.close();
  }
  console.log("opened in " + Math.min(...times) + " ms (best of 3; " + times.join(", ") + ")");
  await browser.close();
})().catch((error) => {
  console.error(error);
  process.exit(1);
});
