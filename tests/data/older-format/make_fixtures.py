#!/usr/bin/env python3
"""Writes the older-format document fixtures: keyed archives as the archiver wrote them, a
root dictionary whose "expressions" is styled text. Run from this folder; the outputs are
checked in beside this script."""
import plistlib
from plistlib import UID


def archive(objects, root=1):
    return plistlib.dumps({"$archiver": "NSKeyedArchiver", "$version": 100000,
                           "$top": {"root": UID(root)}, "$objects": objects},
                          fmt=plistlib.FMT_BINARY)


def document(text, expressions=UID(4)):
    return ["$null",
            {"NS.keys": [UID(2)], "NS.objects": [expressions], "$class": UID(7)},
            "expressions",
            {"$classes": ["NSMutableString", "NSString", "NSObject"],
             "$classname": "NSMutableString"},
            {"NSString": UID(5), "NSAttributes": UID(0), "$class": UID(6)},
            {"NS.string": text, "$class": UID(3)},
            {"$classes": ["NSAttributedString", "NSObject"], "$classname": "NSAttributedString"},
            {"$classes": ["NSDictionary", "NSObject"], "$classname": "NSDictionary"}]


def write(name, data):
    with open(name, "wb") as f:
        f.write(data)


write("one-two.numbera", archive(document("1\n2\n")))
# The styled text's string points past the object table.
bad = document("1\n2\n")
bad[4]["NSString"] = UID(99)
write("bad-reference.numbera", archive(bad))
# A reference that names itself.
write("circular.numbera", archive(document("x", expressions=UID(8)) + [UID(8)]))
