// What the browser tests share: the programs under test, a book to
// correct, Debian's chromium driven by puppeteer-core, and a snapshot of
// a folder to tell that nothing in it was written.
"use strict";
const { execFileSync, spawnSync } = require("node:child_process");
const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const puppeteer = require("puppeteer-core");

const bin = process.env.SCANMEND_BIN_DIR || path.resolve(__dirname, "../../build/default");
const data = process.env.SCANMEND_REVIEW_DATA || path.resolve(__dirname, "../data/review");
const chromium = process.env.CHROMIUM || "/usr/bin/chromium";

function scratch(name) {
  return fs.mkdtempSync(path.join(os.tmpdir(), "scanmend-" + name + "-"));
}

// A copy of the test book: its ALTO pages and images under src/, its
// dictionary as dic.txt.
function copyBook(into) {
  fs.mkdirSync(path.join(into, "src"));
  for (const name of fs.readdirSync(data)) {
    if (name.endsWith(".xml") || name.endsWith(".jpg"))
      fs.copyFileSync(path.join(data, name), path.join(into, "src", name));
  }
  fs.copyFileSync(path.join(data, "book.dic"), path.join(into, "dic.txt"));
}

// Runs scanmend-pages in `cwd`; its exit status and what it printed.
function pages(cwd, args) {
  const run = spawnSync(path.join(bin, "scanmend-pages"), args, { cwd, encoding: "utf8" });
  return { status: run.status, out: run.stdout, err: run.stderr };
}

// Every file under `folder` with its bytes and time of change.
function snapshot(folder) {
  const files = {};
  const walk = (at) => {
    for (const entry of fs.readdirSync(at, { withFileTypes: true })) {
      const full = path.join(at, entry.name);
      if (entry.isDirectory()) walk(full);
      else files[path.relative(folder, full)] = fs.readFileSync(full).toString("base64") + "@" +
        fs.statSync(full).mtimeMs;
    }
  };
  walk(folder);
  return files;
}

async function launch() {
  return puppeteer.launch({
    executablePath: chromium,
    headless: true,
    args: ["--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
      "--disable-background-networking", "--disable-component-update", "--disable-sync",
      "--user-data-dir=" + scratch("chromium")],
  });
}

// Opens a review page with downloads going to `downloads`; the page's
// errors are collected in `errors`.
async function openReview(browser, file, downloads, errors) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1100, height: 900 });
  page.on("pageerror", (error) => errors.push(String(error)));
  page.on("console", (message) => { if (message.type() === "error") errors.push(message.text()); });
  const session = await page.createCDPSession();
  await session.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: downloads });
  await page.goto("file://" + file);
  await page.waitForSelector("body[data-ready]");
  return page;
}

async function currentRow(page) {
  return page.$eval(".row.current", (row) => Number(row.dataset.reviewRow));
}

// Presses j, and then k, until row `wanted` is the current one.
async function walkTo(page, wanted) {
  for (const key of ["j", "k"]) {
    for (let step = 0; step < 2000; ++step) {
      const before = await currentRow(page);
      if (before === wanted) return;
      await page.keyboard.press(key);
      if ((await currentRow(page)) === before) break;  // the last row shown
    }
  }
  throw new Error("row " + wanted + " was never reached by j and k");
}

async function waitForFile(file) {
  for (let wait = 0; wait < 100; ++wait) {
    if (fs.existsSync(file) && fs.statSync(file).size > 0) return fs.readFileSync(file, "utf8");
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  throw new Error(file + " was not downloaded");
}

// review.tsv as objects by column name.
function readTable(file) {
  const lines = fs.readFileSync(file, "utf8").split("\n").filter((line) => line !== "");
  const header = lines[0].split("\t");
  return lines.slice(1).map((line) => {
    const cells = line.split("\t");
    return Object.fromEntries(header.map((name, k) => [name, cells[k]]));
  });
}

module.exports = { bin, data, chromium, scratch, copyBook, pages, snapshot, launch, openReview,
  currentRow, walkTo, waitForFile, readTable, execFileSync };
