#!/usr/bin/env node
const t = `tmpl ${a + `inner ${b}`} end
next line`; // comment
const r = /["'\/]re[/]/g, d = a / b / c;
function f() { return /x/.test('it\'s'); }
/** Doc
 * comment */
<p className="cls">Don't</p>
