!package main
// Doc comment
type T struct {
	Name string `json:"name,omitempty"`
}
var s = `raw
multi`
var r, t = '\u00e9', "Hello\tthere"
