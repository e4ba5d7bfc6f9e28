
﻿var a = @"verbatim ""quoted"" path\x
over lines";
var b = $"interp {x} and {{braces}}" + $@"both {y}";
var d = """raw "text" here""";
char e = '\'';
#region Region
