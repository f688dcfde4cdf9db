"""The crash journal against kill -9: the real program is killed at random moments while text
is typed and saved, again and again; every next start must offer exactly the text that was last
journalled (or nothing, when the last thing was a save), and no journal file may ever be torn.

    journalkills.py journal_kills BINARY [ROUNDS]    exit 0 passed, 1 failed, 77 skipped
"""

import hashlib
import os
import random
import signal
import sys
import time
import urllib.parse

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cases  # noqa: E402
import qfdriver as qf  # noqa: E402
from cases import expect  # noqa: E402
from qfdriver import Failure, find, poll  # noqa: E402

ROUNDS = 100
MAGIC = b"Quillforge journal 1"
# The journal is written a second after the last change; this is surely past it.
SETTLE = 3.5
WORDS = ["my", "$x", "=", "42;", "print", "\u00fcber", "#", "sub", "@a", "\u20ac"]


def put_word(editor, before, word):
    """Types an ASCII word as keys. A character the keyboard map lacks gets a key remapped for
    it, and keys sent right after may come out wrong while the server catches up (seen under
    load: "\u00fcber" arrived as "\u00fc"), so such a word goes in as one edit at the caret."""
    if word.isascii():
        qf.type_text(word)
        return
    poll(lambda: qf.text_of(editor) == before, qf.TIMEOUT, "the keys before a word")
    editor.queryEditableText().insertText(len(before), word, len(word))
    poll(lambda: qf.text_of(editor) == before + word, qf.TIMEOUT, f"the word {word!r}")
    qf.set_caret(editor, len(before) + len(word))


def decode(data, path):
    """The (kind, script, text) of an entry file; a file that does not check out fails."""
    def torn(why):
        return Failure(f"the journal file {path} is torn or foreign ({why}): {data[:200]!r}")
    head, sep, body = data.partition(b"\n\n")
    if not sep:
        raise torn("no end of header")
    lines = head.split(b"\n")
    if len(lines) != 5 or lines[0] != MAGIC:
        raise torn("header")
    fields = {}
    for line, name in zip(lines[1:], (b"kind", b"script", b"length", b"sha1")):
        key, colon, value = line.partition(b": ")
        if key != name or not colon:
            raise torn(f"field {name!r}")
        fields[name] = value
    if int(fields[b"length"]) != len(body):
        raise torn(f"length {fields[b'length']!r} for {len(body)} bytes")
    digest = hashlib.sha1(fields[b"kind"] + b"\n" + fields[b"script"] + b"\n" + body)
    if digest.hexdigest().encode() != fields[b"sha1"]:
        raise torn("checksum")
    script = urllib.parse.unquote(fields[b"script"].decode("ascii"))
    return fields[b"kind"].decode(), script, body.decode("utf-8")


def journal_entries(home):
    """Every entry a dead program left, checked; the temporary files of broken-off writes are
    no entries and are not read."""
    root = os.path.join(home, "etc", "journal")
    found = []
    if not os.path.isdir(root):
        return found
    for session in sorted(os.listdir(root)):
        folder = os.path.join(root, session)
        if not os.path.isdir(folder):
            continue
        for name in sorted(os.listdir(folder)):
            if name.endswith(".journal"):
                path = os.path.join(folder, name)
                with open(path, "rb") as f:
                    found.append(decode(f.read(), path))
    return found


def kill(prog):
    os.killpg(prog.proc.pid, signal.SIGKILL)
    prog.proc.wait()


def case_journal_kills(binary, home):
    rounds = int(os.environ.get("QF_E2E_ROUNDS", ROUNDS))
    script = os.path.join(home, "typed.pl")
    original = "use strict;\n"
    cases.write(script, original.encode())
    saved = {original}  # every text a save may have left in the file
    rng = random.Random(int(os.environ.get("QF_E2E_SEED", "16")))
    began = time.monotonic()
    settled_checks = 0
    for round_ in range(rounds):
        entries = journal_entries(home)
        on_disk = qf.read_file(script).decode("utf-8")
        expect(on_disk in saved, f"round {round_}: the file holds {on_disk!r}, never saved")
        expect(len(entries) <= 1, f"round {round_}: {len(entries)} entries for one script")
        offered = None
        if entries:
            kind, name, offered = entries[0]
            expect(kind == "file" and name == script,
                   f"round {round_}: the entry names {kind} {name!r}, not {script!r}")

        if round_ == 0:
            prog = cases.start_past_wizard(binary, home, script)
        else:
            prog = qf.Program(binary, home, script)
        try:
            if offered is not None:
                alert = prog.window("Recover unsaved text", role="alert", timeout=qf.START_TIMEOUT)
                message = " ".join(qf.name_of(n) for n in qf.find_all(alert, "label"))
                expect(script in message, f"round {round_}: the offer reads {message!r}")
                qf.press(find(alert, "push button", "Yes"))
            base = offered if offered is not None else on_disk
            editor = cases.editor_showing(prog, base, f"round {round_}: the editor")
            prog.activate(qf.Program.MAIN_TITLE)
            qf.focus(editor)
            qf.set_caret(editor, len(base))

            # Typing, with saves among the words; then a kill at a random moment, or, now and
            # then, only once everything has surely been journalled.
            typed = ""
            last_save = None
            for _ in range(rng.randint(1, 4)):
                word = rng.choice(WORDS) + " "
                put_word(editor, base + typed, word)
                typed += word
                if rng.random() < 0.3:
                    # The keys before it are handled first: the save writes all of them.
                    poll(lambda: qf.text_of(editor) == base + typed, qf.TIMEOUT,
                         f"round {round_}: the typed text in the editor")
                    qf.key("ctrl+s")
                    last_save = base + typed
                    saved.add(last_save)
            settled = rng.random() < 0.15
            if settled:
                poll(lambda: qf.text_of(editor) == base + typed, qf.TIMEOUT,
                     f"round {round_}: the typed text in the editor")
                if last_save == base + typed:
                    poll(lambda: qf.read_file(script) == last_save.encode(), qf.TIMEOUT,
                         f"round {round_}: the save")
                time.sleep(SETTLE)
            else:
                time.sleep(rng.uniform(0, 1.6))
            kill(prog)
        except BaseException:
            prog.__exit__(*sys.exc_info())
            raise

        # What this run may have left: any text it held while it was typed into.
        after = journal_entries(home)
        on_disk = qf.read_file(script).decode("utf-8")
        expect(on_disk in saved, f"round {round_}: after the kill the file holds {on_disk!r}")
        held = {base + typed[:n] for n in range(len(typed) + 1)}
        for kind, name, text in after:
            expect(name == script and text in held,
                   f"round {round_}: the journal holds {text!r} for {name!r}, a text the "
                   f"editor never held")
        if settled:
            settled_checks += 1
            final = base + typed
            if last_save == final:
                expect(not after and on_disk == final,
                       f"round {round_}: saved, yet the journal holds {after!r}")
            else:
                expect([e[2] for e in after] == [final],
                       f"round {round_}: {SETTLE} s after the last key the journal holds "
                       f"{[e[2] for e in after]!r}, not {final!r}")
        # Whatever the moment, the text the run started with (restored, perhaps) is not lost.
        expect(after or on_disk in held,
               f"round {round_}: neither the journal nor the file holds {base!r} or later")
    print(f"{rounds} kills in {time.monotonic() - began:.0f} s, {settled_checks} after the "
          "journal had settled")


cases.CASES["journal_kills"] = case_journal_kills

if __name__ == "__main__":
    if len(sys.argv) == 4:  # fewer rounds, while trying things out
        os.environ["QF_E2E_ROUNDS"] = sys.argv.pop()
    sys.exit(cases.main(sys.argv))
