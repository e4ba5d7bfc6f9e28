#!/bin/bash
# comment with a#b $# ${#arr}
echo "Hi $USER ${x:-def} $(cmd "in" $((1<<2))) `bt` $1" 'single \n' $'ansi\t'
cat <<-'EOF' <<MORE
	raw $text
	EOF
more $here
MORE
(( y = 1 << 3 )) # shift
cat <<EOF
unterminated heredoc
