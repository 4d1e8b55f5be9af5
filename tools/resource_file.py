"""Where a resource generator writes: the path given on its command line, or
the file of that name in resources/."""
import sys
from pathlib import Path


def write(name, data):
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "resources" / name
    target.write_bytes(data)
    print(f"{target}: {len(data)} bytes")
