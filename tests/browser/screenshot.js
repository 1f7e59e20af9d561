// Makes doc/review.png, the README's picture of the review page: the test
// book corrected, a few rows decided by keyboard, the page as a person
// sees it.
//   node tests/browser/screenshot.js [BIN_DIR]     (after npm ci here)
"use strict";
const path = require("node:path");
if (process.argv[2]) process.env.SCANMEND_BIN_DIR = path.resolve(process.argv[2]);
const { scratch, copyBook, pages, launch, openReview } = require("./support.js");

(async () => {
  const work = scratch("screenshot");
  copyBook(work);
  const run = pages(work, ["correct", "src", "out"]);
  if (run.status !== 0) throw new Error(run.err);
  const browser = await launch();
  try {
    const page = await openReview(browser, path.join(work, "out/review/review.html"),
      scratch("downloads"), []);
    await page.setViewport({ width: 1000, height: 760 });
    // The changes first: filtered by their reason.
    await page.keyboard.press("/");
    await page.keyboard.type("reason:misreading");
    await page.keyboard.press("Enter");
    await page.keyboard.press("A");   // the first group, all right
    await page.keyboard.press("r");   // the next one wrong
    await page.keyboard.press("j");
    await page.evaluate(() => window.scrollTo(0, 0));
    await page.waitForFunction(() => Array.from(document.querySelectorAll(".row:not(.hidden) img"))
      .slice(0, 4).every((img) => img.complete && img.naturalWidth > 0));
    const target = path.resolve(__dirname, "../../doc/review.png");
    await page.screenshot({ path: target });
    console.log("wrote " + target);
  } finally {
    await browser.close();
  }
})().catch((error) => {
  console.error(error);
  process.exit(1);
});
