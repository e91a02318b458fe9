"""Builds installers for the end-to-end tests from a few files."""

import itertools

import wine_harness as wine

_counter = itertools.count()


def setup_ini(**groups):
    """setup.ini text from {group: {key: value}} given as keyword arguments."""
    lines = []
    for group, keys in groups.items():
        lines.append(f"[{group}]")
        lines += [f"{key}={value}" for key, value in keys.items()]
    return "\r\n".join(lines) + "\r\n"


def build_installer(files, name=None):
    """An installer whose package holds `files` ({name: text or bytes});
    names may hold "/" for sub-folders."""
    scratch = wine.fresh_work(name or f"installer-{next(_counter)}")
    tree = scratch / "tree"
    tree.mkdir()
    for file_name, content in files.items():
        path = tree / file_name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(content.encode("latin-1") if isinstance(content, str) else content)
    return wine.pack(tree, scratch / "setup.exe", stub=wine.BIN / "brindle-setup.exe")
