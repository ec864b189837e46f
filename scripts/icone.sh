#!/bin/bash
# Makes the window's icon pixels (data/tarvik-64.rgba) from data/tarvik-64.png,
# after the drawing changes: 64 by 64, 8 bits a channel, red, green, blue, alpha.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
convert data/tarvik-64.png -depth 8 rgba:data/tarvik-64.rgba
