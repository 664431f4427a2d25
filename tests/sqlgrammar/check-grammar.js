#!/usr/bin/env node
// Parses every statement the program can send to SQL Server or Oracle with the community
// T-SQL and PL/SQL grammars, split exactly as the program's runners split them:
//   flm50.sql      batches at lines that read "go" (any case, trailing blanks, none leading),
//                  "Print" lines left out, lines joined by line feeds;
//   Newstd7.tpl, lock2k.sql
//                  batches at lines that read "go" after trimming (lower case only), each line
//                  after one blank;
//   flm50ora.sql, Newstddb.tpl
//                  one statement per non-blank line, "Print" lines left out of flm50ora.sql;
//   oracle/*.sql   each object whole, as the build embeds it;
// and every statement recorded from whole runs (recorded-*.json of RecordedStatements_test).
// A statement Oracle gets without a terminator is parsed with the ";" the grammar's statement
// rules end in; one that already ends in ";" is reported, since Oracle refuses it.
//
// Usage: node check-grammar.js DIST_DIR [RECORDED.json ...]
// Every rejection names the file (or the run and step) and line. The run also removes one token
// from a statement and fails unless that is reported: a check that cannot fail proves nothing.
'use strict';
const fs = require('fs');
const path = require('path');
const sql = require('antlr4ts-sql');
const { PredictionMode } = require('antlr4ts/atn/PredictionMode');

const TSQL = 'tsql', PLSQL = 'plsql';

// One parse in the faster SLL mode; only a statement that fails there gets the full LL parse,
// whose errors are the ones reported.
function syntaxErrors(dialect, text) {
  const parse = (mode) => {
    const errors = [];
    const listener = { syntaxError: (_r, _o, line, column, message) => errors.push({ line, column, message }) };
    const tool = new sql.antlr4tsSQL(dialect === TSQL ? sql.SQLDialect.TSQL : sql.SQLDialect.PLSQL);
    const parser = tool.getParser(tool.getTokens(text, [listener]), [listener]);
    parser.interpreter.setPredictionMode(mode);
    if (dialect === TSQL) {
      parser.tsql_file();
    } else {
      // One statement is sent at a time: a text the grammar reads as several is two statements.
      const units = parser.sql_script().unit_statement().length;
      if (errors.length === 0 && units !== 1) errors.push({ line: 1, column: 0, message: `${units} statements in one` });
    }
    return errors;
  };
  const fast = parse(PredictionMode.SLL);
  return fast.length === 0 ? fast : parse(PredictionMode.LL);
}

const PLSQL_UNIT = /^\s*(DECLARE|BEGIN|CREATE\s+OR\s+REPLACE\s+(PROCEDURE|FUNCTION|PACKAGE|TRIGGER))\b/i;

// The errors of one statement as it is sent; each {line, column, message} counts in `text`.
function checkStatement(dialect, text) {
  if (dialect === TSQL || PLSQL_UNIT.test(text)) return syntaxErrors(dialect, text);
  const body = text.replace(/\s+$/, '');
  if (body.endsWith(';')) {
    const lines = body.split('\n');
    return [{ line: lines.length, column: lines[lines.length - 1].length - 1, message: "a statement sent to Oracle ends in ';' (ORA-00911)" }];
  }
  return syntaxErrors(dialect, body + ';');
}

// ---- the runners' splits; each statement carries the file line of each of its lines

function fileLines(file) {
  return fs.readFileSync(file, 'latin1').split('\n').map((l) => l.replace(/\r$/, ''));
}

// flm50.sql: every batch begins with a line feed and joins its lines with line feeds.
function upgradeBatches(file) {
  const out = [];
  let batch = '', at = [];
  const flush = () => {
    const lines = at;  // line 1 of the text is the empty one before the first line feed
    if (batch !== '') out.push({ text: batch, where: (l) => lines[Math.max(l - 2, 0)] });
    batch = '', at = [];
  };
  fileLines(file).forEach((line, i) => {
    if (/^go *$/i.test(line)) flush();
    else if (!/print/i.test(line)) batch += '\n' + line, at.push(i + 1);
  });
  flush();
  return out;
}

// Newstd7.tpl, lock2k.sql: one line per batch, each source line after one blank.
function templateBatches(file) {
  const out = [];
  const lines = fileLines(file);
  if (lines.length && lines[lines.length - 1] === '') lines.pop();  // the final line end
  let batch = '', starts = [];
  const flush = () => {
    const s = starts;
    out.push({ text: batch, where: (_l, column) => (s.filter((x) => x.from <= column).pop() || s[0] || { line: 0 }).line });
    batch = '', starts = [];
  };
  lines.forEach((line, i) => {
    if (line.trim() === 'go') return flush();
    starts.push({ from: batch.length, line: i + 1 });
    batch += ' ' + line;
  });
  if (starts.length) flush();
  return out;
}

function oracleLines(file, skipRemarks) {
  const out = [];
  fileLines(file).forEach((line, i) => {
    if (line.trim() === '' || (skipRemarks && /print/i.test(line))) return;
    out.push({ text: line, where: () => i + 1 });
  });
  return out;
}

function wholeObject(file) {
  const text = fs.readFileSync(file, 'latin1').replace(/\r/g, '').replace(/[ \t\n]+$/, '');
  return [{ text, where: (l) => l }];
}

function shippedStatements(dist) {
  const sets = [
    ['flm50.sql', TSQL, upgradeBatches],
    ['Newstd7.tpl', TSQL, templateBatches],
    ['lock2k.sql', TSQL, templateBatches],
    ['flm50ora.sql', PLSQL, (f) => oracleLines(f, true)],
    ['Newstddb.tpl', PLSQL, (f) => oracleLines(f, false)],
  ];
  const out = [];
  for (const [name, dialect, split] of sets)
    for (const s of split(path.join(dist, name))) out.push({ dialect, origin: name, ...s });
  const objects = path.join(dist, 'oracle');
  for (const name of fs.readdirSync(objects).filter((n) => n.endsWith('.sql')).sort())
    for (const s of wholeObject(path.join(objects, name))) out.push({ dialect: PLSQL, origin: `oracle/${name}`, ...s });
  return out;
}

function recordedStatements(file) {
  return JSON.parse(fs.readFileSync(file, 'utf8')).map((r) =>
    ({ dialect: r.dialect, origin: `${path.basename(file)}: ${r.origin}`, text: r.text, where: (l) => l, recorded: true }));
}

// "origin:line: message" for each error of `s`; recorded statements name the statement's own line.
function report(s) {
  return checkStatement(s.dialect, s.text).map((e) =>
    s.recorded ? `${s.origin}, statement line ${e.line}: ${e.message}` : `${s.origin}:${s.where(e.line, e.column)}: ${e.message}`);
}

// ---- the run

function main() {
  const [dist, ...recorded] = process.argv.slice(2);
  if (!dist) {
    console.error('usage: node check-grammar.js DIST_DIR [RECORDED.json ...]');
    return 2;
  }
  const statements = shippedStatements(dist);
  for (const file of recorded) {
    const found = recordedStatements(file);
    if (found.length === 0) {
      console.error(`${file}: no recorded statement`);
      return 1;
    }
    statements.push(...found);
  }
  let failures = 0, checked = 0;
  const seen = new Map();  // dialect + text -> errors, so a statement sent many times is parsed once
  for (const s of statements) {
    const key = s.dialect + '\0' + s.text;
    if (!seen.has(key)) { seen.set(key, checkStatement(s.dialect, s.text)); ++checked; }
    if (seen.get(key).length === 0) continue;
    for (const line of report(s)) console.log(line);
    ++failures;
  }

  // Negative control: flm50.sql's first ALTER TABLE batch without its ADD keyword must be
  // reported at its own line of flm50.sql.
  const control = statements.find((s) => s.origin === 'flm50.sql' && /\bADD\b/.test(s.text));
  const broken = { ...control, text: control.text.replace(/\bADD\b/, '') };
  const expectedLine = control.where(control.text.split('\n').findIndex((l) => /\bADD\b/.test(l)) + 1);
  const caught = report(broken);
  const named = caught.some((l) => l.startsWith(`flm50.sql:${expectedLine}: `));
  console.log(`negative control (flm50.sql line ${expectedLine} without ADD): ${named ? 'reported' : 'NOT reported'}: ${caught.join(' | ')}`);
  if (!named) ++failures;

  console.log(`${statements.length} statements, ${checked} distinct texts parsed, ${failures} failure(s)`);
  return failures === 0 ? 0 : 1;
}

process.exitCode = main();
