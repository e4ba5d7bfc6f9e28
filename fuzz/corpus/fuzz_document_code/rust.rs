#![allow(dead_code)]
/* outer /* nested */ still */
/// Doc line
//! Inner doc
fn f<'a>(x: &'a str) -> char { 'q' }
let s = "multi
line \u{e9} \x41";
let r = br##"raw "# still"##; let b = b'\''; let id = r#type;
'outer: loop {}
