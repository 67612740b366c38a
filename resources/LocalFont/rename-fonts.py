#!/usr/bin/python3
"""Rebuilds MontserratBold.otf and MontserratMedium.otf from the upstream Montserrat static faces.

Upstream files name both faces family "Montserrat" (typographic family, name ID 16), so the font
database would report one family for both. Renaming each face to a family of its own lets the
program ask for "Montserrat ExtraBold" and "Montserrat Medium" by name.

Usage (needs python3-fonttools and npm):
    cd "$(mktemp -d)" && npm pack @expo-google-fonts/montserrat && tar xzf expo-google-fonts-montserrat-*.tgz
    /usr/bin/python3 <repo>/resources/LocalFont/rename-fonts.py package <repo>/resources/LocalFont
"""
import sys
from pathlib import Path

from fontTools.ttLib import TTFont

FACES = [
    # (upstream file, family name given to it, file name the program loads)
    ("800ExtraBold/Montserrat_800ExtraBold.ttf", "Montserrat ExtraBold", "MontserratBold.otf"),
    ("500Medium/Montserrat_500Medium.ttf", "Montserrat Medium", "MontserratMedium.otf"),
]

FAMILY, SUBFAMILY, FULL_NAME, POSTSCRIPT_NAME = 1, 2, 4, 6
TYPOGRAPHIC_FAMILY, TYPOGRAPHIC_SUBFAMILY = 16, 17


def rename(source: Path, family: str, target: Path) -> None:
    font = TTFont(str(source))
    names = font["name"]
    names.removeNames(nameID=TYPOGRAPHIC_FAMILY)
    names.removeNames(nameID=TYPOGRAPHIC_SUBFAMILY)
    for record in list(names.names):
        if record.nameID in (FAMILY, FULL_NAME, POSTSCRIPT_NAME):
            record.string = family
        elif record.nameID == SUBFAMILY:
            record.string = "Regular"
    font.save(str(target))


def main() -> int:
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    package, out = Path(sys.argv[1]), Path(sys.argv[2])
    for source, family, target in FACES:
        rename(package / source, family, out / target)
        print(f"{target}: {family}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
