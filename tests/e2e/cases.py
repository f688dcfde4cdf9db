"""End-to-end cases: the real program on a private X server, driven through the accessibility
tree as a user would, by what the user sees (window titles, captions, roles).

    cases.py CASE BINARY      runs one case (see CASES); exit 0 passed, 1 failed, 77 skipped
"""

import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import traceback

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import qfdriver as qf  # noqa: E402
from qfdriver import Failure, find, poll  # noqa: E402

SKIP = 77


def expect(condition, message):
    if not condition:
        raise Failure(message)


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def editor_showing(prog, content, what="the script editor"):
    """The visible editor whose text is `content`: how a user tells which script is shown."""
    frame = prog.main_window()

    def look():
        for t in qf.find_all(frame, "text", showing=True):
            if qf.text_of(t) == content:
                return t
    def seen():
        return [qf.text_of(t)[:80] for t in qf.find_all(frame, "text", showing=True)]
    return poll(look, qf.TIMEOUT,
                lambda: f"{what} showing {content!r} (text areas now hold {seen()})")


def panel_text(frame, caption):
    """The text area of the panel whose header reads `caption` (e.g. "Perl output")."""
    header = find(frame, "label", caption, what=f"the {caption!r} panel")
    for up in qf.ancestors(header):
        texts = qf.find_all(up, "text", showing=True)
        if texts:
            return texts[0]
    raise Failure(f"the {caption!r} panel has no text area")


def start_past_wizard(binary, home, *scripts, while_open=None):
    """A first start in a fresh home: leaves the welcome wizard without saving settings, as
    its Cancel button and the question after it offer, and waits for the main window, which
    then has the keyboard. while_open(prog, wizard) runs while the wizard shows."""
    prog = qf.Program(binary, home, *scripts)
    try:
        wizard = prog.window("Welcome", role="dialog", timeout=qf.START_TIMEOUT)
        if while_open:
            while_open(prog, wizard)
        qf.press(find(wizard, "push button", "Cancel"))
        question = prog.window("Quillforge", role="alert")
        message = " ".join(qf.name_of(n) for n in qf.find_all(question, "label"))
        expect("Really quit this dialog without saving?" in message,
               f"leaving the wizard asks {message!r}, not whether to quit without saving")
        qf.press(find(question, "push button", "Yes"))
        prog.window_gone("Welcome")
        prog.activate(qf.Program.MAIN_TITLE)
    except BaseException:
        prog.__exit__(*sys.exc_info())
        raise
    return prog


def exit_program(prog):
    """File > Exit with nothing unsaved ends the program at once, and cleanly."""
    prog.menu("File", "Exit")
    code = prog.wait_exit()
    expect(code == 0, f"File > Exit ended the program with exit code {code}")


def config(home):
    return qf.settings(home).get("Config", {})


# --- the cases -------------------------------------------------------------------------------


def case_startup(binary, home):
    """A first start shows the wizard; leaving it writes the machine identity; the main window
    shows the script named on the command line; a second start skips the wizard."""
    script = os.path.join(home, "hello.pl")
    source = 'print "hello\\n";\n'
    write(script, source.encode())

    def while_open(prog, wizard):
        find(wizard, "push button", "Next >>")
        expect("HD_ID" not in config(home),
               "HD_ID is in etc/quillforge.cfg while the wizard is still open")

    with start_past_wizard(binary, home, script, while_open=while_open) as prog:
        identity = poll(lambda: config(home).get("HD_ID"), qf.TIMEOUT,
                        "HD_ID in etc/quillforge.cfg after the wizard")
        expect(re.fullmatch(r"[0-9A-F]{4}-[0-9A-F]{4}", identity),
               f"HD_ID is {identity!r}, not XXXX-XXXX in hexadecimal")
        expect(config(home).get("Welcome") == "0",
               f"Welcome is {config(home).get('Welcome')!r} after the wizard, not 0")
        for folder in ("etc", "lib", "doc"):
            expect(os.path.isdir(os.path.join(home, folder)),
                   f"the fresh home got no {folder}/ folder")

        frame = prog.main_window()
        tab = find(frame, "page tab", "hello.pl", what="a tab for hello.pl")
        expect(tab.description == script,
               f"the hello.pl tab stands for {tab.description!r}, not {script!r}")
        editor_showing(prog, source)
        exit_program(prog)

    with qf.Program(binary, home, script) as again:
        first = poll(lambda: [w for w in again.windows()
                              if qf.name_of(w) in ("Welcome", qf.Program.MAIN_TITLE)],
                     qf.START_TIMEOUT, "the main window on a second start")[0]
        expect(qf.name_of(first) != "Welcome", "the wizard came back on a second start")
        editor_showing(again, source)
        expect(config(home).get("HD_ID") == identity, "a second start changed HD_ID")


def case_edit_save(binary, home):
    """Typed text reaches the file on disk byte for byte, saved with Ctrl+S and with
    File > Save."""
    script = os.path.join(home, "edit.pl")
    original = 'print "one\\n";\n'
    write(script, original.encode())
    with start_past_wizard(binary, home, script) as prog:
        editor = editor_showing(prog, original)
        qf.focus(editor)
        qf.set_caret(editor, len(original))
        typed = 'print "two\\n";\n'
        qf.type_text(typed)
        first = original + typed
        poll(lambda: qf.text_of(editor) == first, qf.TIMEOUT,
             lambda: f"the editor to read {first!r} (it reads {qf.text_of(editor)!r})")
        expect(qf.read_file(script) == original.encode(), "the file changed before a save")

        qf.key("ctrl+s")
        poll(lambda: qf.read_file(script) == first.encode(), qf.TIMEOUT,
             lambda: f"Ctrl+S to write {first!r} (the file holds {qf.read_file(script)!r})")

        qf.set_caret(editor, 0)
        qf.type_text("# über\n")  # a character outside ASCII must reach the disk as UTF-8
        second = "# über\n" + first
        poll(lambda: qf.text_of(editor) == second, qf.TIMEOUT,
             lambda: f"the editor to read {second!r} (it reads {qf.text_of(editor)!r})")
        prog.menu("File", "Save")
        poll(lambda: qf.read_file(script) == second.encode("utf-8"), qf.TIMEOUT,
             lambda: f"File > Save to write {second!r} (the file holds {qf.read_file(script)!r})")


def case_run_output(binary, home):
    """F9 opens the run dialog; its Run button runs the script with perl and the Perl output
    panel shows what the script printed."""
    script = os.path.join(home, "run.pl")
    write(script, b'print "answer=", 6 * 7, "\\n";\n')
    with start_past_wizard(binary, home, script) as prog:
        frame = prog.main_window()
        output = panel_text(frame, "Perl output")
        expect("answer=42" not in qf.text_of(output), "the output shows the answer before a run")
        qf.key("F9")
        dialog = prog.window("Run / Syntax check / debug", role="dialog")
        find(dialog, "combo box", script, what=f"the run dialog naming {script}")
        qf.press(find(dialog, "push button", "Run"))
        prog.window_gone("Run / Syntax check / debug")
        poll(lambda: "answer=42" in qf.text_of(output), qf.TIMEOUT,
             lambda: "the Perl output panel to show answer=42 "
             f"(it shows {qf.text_of(output)[-300:]!r})")


def case_debug(binary, home):
    """Project > Debug runs the script under perl's own debugger; what is typed into the line
    under the Perl output reaches it, its answers and prompts show in the panel, the script's
    caret follows each step, q ends it."""
    script = os.path.join(home, "dbg.pl")
    source = 'my $x = 6;\nmy $y = $x * 7;\nprint "y=$y\\n";\n'
    write(script, source.encode())
    with start_past_wizard(binary, home, script) as prog:
        frame = prog.main_window()
        output = panel_text(frame, "Perl output")
        editor = editor_showing(prog, source, "the debugged script")
        prog.menu("Project", re.compile(r"^Debug"))
        dialog = prog.window("Run / Syntax check / debug", role="dialog")
        qf.press(find(dialog, "push button", "Run"))
        prog.window_gone("Run / Syntax check / debug")

        def shows(text, what):
            poll(lambda: text in qf.text_of(output), qf.TIMEOUT,
                 lambda: f"{what} (the panel ends {qf.text_of(output)[-300:]!r})")

        shows(f"main::({script}:1):", "the debugger stopped at line 1")
        poll(lambda: qf.text_of(output).endswith("  DB<1> "), qf.TIMEOUT,
             lambda: f"the debugger's prompt (the panel ends {qf.text_of(output)[-300:]!r})")
        line = find(frame, "text", "Script input", what="the script input line")
        qf.focus(line)
        qf.type_text("n\n")
        shows(f"  DB<1> n\nmain::({script}:2):", "the step to line 2, after the typed n")
        second = source.index("\n") + 1
        poll(lambda: qf.caret_of(editor) == second, qf.TIMEOUT,
             lambda: f"the script's caret at the start of line 2 (it is at {qf.caret_of(editor)})")
        qf.type_text("p $x\n")
        shows("  DB<1> p $x\n6\n  DB<2> ", "the value of $x")
        qf.type_text("c\n")
        shows("y=42\n", "the script's own output")
        qf.type_text("q\n")
        shows("--- exit status 0", "the end of the run")
def case_errors(binary, home):
    """A script that dies: Enter on its error line in the Perl output opens the script with the
    caret on the line perl named."""
    script = os.path.join(home, "dies here.pl")
    source = "use strict;\nprint \"start\\n\";\n\ndie \"broken\";\n"
    write(script, source.encode())
    with start_past_wizard(binary, home, script) as prog:
        frame = prog.main_window()
        output = panel_text(frame, "Perl output")
        editor = editor_showing(prog, source, what="the failing script")
        expect(qf.caret_of(editor) == 0, "the caret starts at the top of the script")
        qf.key("F9")
        dialog = prog.window("Run / Syntax check / debug", role="dialog")
        qf.press(find(dialog, "push button", "Run"))
        prog.window_gone("Run / Syntax check / debug")
        message = f"broken at {script} line 4."
        poll(lambda: message in qf.text_of(output), qf.TIMEOUT,
             lambda: f"the Perl output panel to show {message!r} "
             f"(it shows {qf.text_of(output)[-300:]!r})")
        qf.focus(output)
        qf.set_caret(output, qf.text_of(output).index(message) + 2)
        qf.key("Return")
        line_start = len("".join(source.splitlines(True)[:3]))
        poll(lambda: line_start <= qf.caret_of(editor) <= line_start + len("die"), qf.TIMEOUT,
             lambda: f"the caret on line 4 (it is at offset {qf.caret_of(editor)})")


def case_find(binary, home):
    """The Find dialog selects each match in turn and says so when there is no further one."""
    script = os.path.join(home, "find.pl")
    source = "# find the needle\nmy $needle = 1;\nprint $needle;\n"
    write(script, source.encode())
    matches = [m.start() for m in re.finditer("needle", source)]
    with start_past_wizard(binary, home, script) as prog:
        editor = editor_showing(prog, source)
        prog.menu("Search", "Find")
        dialog = prog.window("Find text", role="dialog")
        field = find(dialog, "combo box", "Text to find:")
        entry = find(field, "text", what="the text field of 'Text to find:'")
        qf.focus(entry)
        qf.type_text("needle")
        poll(lambda: qf.text_of(entry) == "needle", qf.TIMEOUT,
             lambda: f"'needle' in the find field (it holds {qf.text_of(entry)!r})")
        okay = find(dialog, "push button", "Okay")
        for n, at in enumerate(matches, 1):
            qf.press(okay)
            want = (at, at + len("needle"))
            poll(lambda: qf.selection_of(editor) == want, qf.TIMEOUT,
                 lambda: f"match {n} selected at {want} "
                 f"(the selection is {qf.selection_of(editor)})")
            caret = qf.caret_of(editor)
            expect(want[0] <= caret <= want[1],
                   f"after match {n} the caret is at {caret}, outside {want}")
            expect(qf.text_of(editor)[want[0]:want[1]] == "needle",
                   f"match {n} selects {qf.text_of(editor)[want[0]:want[1]]!r}")
        qf.press(okay)
        box = prog.window("Quillforge", role="alert")
        message = " ".join(qf.name_of(n) for n in qf.find_all(box, "label"))
        expect("No (further) Entry found." in message,
               f"a search past the last match says {message!r}")
        qf.press(find(box, "push button", "OK"))
        prog.window_gone("Quillforge")


def case_options(binary, home):
    """Options > View hides the code inspector: after Okay the panel is gone from the main
    window, the choice is in etc/quillforge.cfg and the next start keeps it."""
    script = os.path.join(home, "opt.pl")
    write(script, b"1;\n")
    with start_past_wizard(binary, home, script) as prog:
        frame = prog.main_window()
        find(frame, "label", "Code inspector", what="the code inspector on a first start")
        prog.menu("Edit", "Options")
        dialog = prog.window("Options", role="dialog")
        qf.press(find(dialog, "page tab", "View"))
        visible = find(dialog, "check box", "Visible", what="the View page's 'Visible' box")
        # The panel to show or hide is picked in the drop-down list beside "Visible".
        chooser = poll(lambda: [c for c in visible.parent if qf.role_of(c) == "combo box"
                                and qf.is_showing(c)][0], qf.TIMEOUT, "the panel chooser")
        qf.choose(chooser, "Code Inspector")
        poll(lambda: qf.is_checked(visible), qf.TIMEOUT,
             "'Visible' to be ticked for the shown code inspector")
        qf.click_check_box(visible)
        qf.press(find(dialog, "push button", "Okay"))
        prog.window_gone("Options")

        poll(lambda: not qf.find_all(frame, "label", "Code inspector", showing=True),
             qf.TIMEOUT, "the code inspector to leave the main window")
        poll(lambda: config(home).get("Visible_CodeInspector") == "0", qf.TIMEOUT,
             lambda: "Visible_CodeInspector=0 in etc/quillforge.cfg (it holds "
             f"{config(home).get('Visible_CodeInspector')!r})")
        find(frame, "label", "Perl output", what="the Perl output panel, which stays")
        exit_program(prog)

    with qf.Program(binary, home, script) as again:
        frame = again.main_window()
        find(frame, "label", "Perl output", what="the Perl output panel after a restart")
        expect(not qf.find_all(frame, "label", "Code inspector", showing=True),
               "the code inspector is back after a restart")


def set_text(node, text):
    """Replaces what a text field holds, as pasting over a selection of all of it does."""
    node.queryEditableText().setTextContents(text)
    poll(lambda: qf.text_of(node) == text, qf.TIMEOUT,
         lambda: f"the field {qf.name_of(node)!r} to hold {text!r} (it holds {qf.text_of(node)!r})")


def template_names(home, group):
    """The display names of a group's templates, read from their files as the palette does."""
    folder = os.path.join(home, "lib", group)
    names = {}
    for f in os.listdir(folder):
        if f.lower().endswith(".plt"):
            with open(os.path.join(folder, f), "rb") as t:
                for line in t.read().decode("utf-8", "replace").splitlines():
                    if line.startswith("Name="):
                        names[f] = line[5:].strip()
                        break
    return names


def case_templates(binary, home):
    """A palette button puts its template's code into the script; the wizard writes a new
    template that shows on the palette at once; the manager deletes it again."""
    script = os.path.join(home, "tpl.pl")
    source = "# templates\n"
    write(script, source.encode())
    with start_past_wizard(binary, home, script) as prog:
        frame = prog.main_window()
        editor = editor_showing(prog, source)
        qf.set_caret(editor, len(source))
        box = find(frame, "combo box", "Standard", what="the template group box showing Standard")
        names = template_names(home, "Standard")
        expect(names, "the shipped Standard group has no templates")
        for name in names.values():
            find(frame, "push button", name, what=f"a palette button {name!r}")
        qf.press(find(frame, "push button", "Subroutine"))
        poll(lambda: qf.text_of(editor).startswith(source + "sub name {"), qf.TIMEOUT,
             lambda: f"the Subroutine template in the script (it reads {qf.text_of(editor)!r})")

        prog.menu("Code templates", "Create new code template")
        wizard = prog.window("Create code template", role="dialog")
        find(wizard, "label", "Select or enter a group name:")
        find(wizard, "combo box", "Standard", what="the group box of the wizard naming Standard")
        next_button = find(wizard, "push button", "Next >>")
        qf.press(next_button)
        find(wizard, "label", "Select icon", what="the icon page")
        qf.press(next_button)
        set_text(find(wizard, "text", "Display name:"), "End to end")
        set_text(find(wizard, "text", "Name:"), "endtoend")
        qf.press(next_button)
        set_text(find(wizard, "text", "Code"), "print 'end to end';")
        qf.press(next_button)
        qf.press(find(wizard, "push button", "Finish"))
        prog.window_gone("Create code template")
        written = os.path.join(home, "lib", "Standard", "endtoend.plt")
        text = qf.read_file(written).decode()
        expect("Name=End to end\r\n" in text and text.endswith("[Script]\r\nprint 'end to end';\r\n"),
               f"the wizard wrote {text!r}")
        find(frame, "push button", "End to end", what="the new template's button on the palette")
        expect(qf.name_of(box) == "Standard", f"the group box shows {qf.name_of(box)!r}")

        prog.menu("Code templates", "Arrange template palette / remove / edit templates")
        manager = prog.window("Template palette", role="dialog")
        groups = find(manager, "list", "Group")
        standard = find(groups, "list item", "Standard", what="the group Standard in the manager")
        qf.do_action(standard, "Toggle")  # what a click on it does: select it
        templates = find(manager, "tree", "Contained templates", what="the template list")
        row = find(templates, None, "End to end", showing=None, what="the new template's row")
        qf.do_action(row, "Toggle")
        poll(lambda: qf.is_selected(row), qf.TIMEOUT, "the new template's row to be selected")
        qf.press(find(manager, "push button", "Delete"))
        question = prog.window("Quillforge", role="alert")
        message = " ".join(qf.name_of(n) for n in qf.find_all(question, "label"))
        expect(f'Really delete template file "{written}" ?' in message, f"Delete asks {message!r}")
        qf.press(find(question, "push button", "Yes"))
        poll(lambda: not os.path.exists(written), qf.TIMEOUT, "the template file to go")
        qf.press(find(manager, "push button", "Close"))
        prog.window_gone("Template palette")
        poll(lambda: not qf.find_all(frame, "push button", "End to end", showing=True), qf.TIMEOUT,
             "the deleted template's button to leave the palette")


def case_tools(binary, home):
    """The conversion wizard turns a Windows script into a UNIX one in place, step by step;
    Properties shows the script's facts and makes its backup; the About box opens and closes."""
    script = os.path.join(home, "dos.pl")
    write(script, b"print 1;\r\nprint 2;\r\n")
    with start_past_wizard(binary, home, script) as prog:
        prog.menu("Extras", "Trim file for UNIX")
        wizard = prog.window("Windows / UNIX conversion", role="dialog")
        find(wizard, "radio button", "I want to convert a file from Windows to UNIX")
        next_button = find(wizard, "push button", "Next >>")
        qf.press(next_button)
        find(wizard, "label", "Source file", what="the source page")
        set_text(find(wizard, "text", "File:", what="the source file field"), script)
        qf.press(next_button)
        find(wizard, "label", "Destination file", what="the destination page")
        set_text(find(wizard, "text", "File:", what="the destination file field"), script)
        qf.press(find(wizard, "push button", "Convert"))
        poll(lambda: qf.read_file(script) == b"print 1;\nprint 2;\n", qf.TIMEOUT,
             lambda: f"the script converted in place (it holds {qf.read_file(script)!r})")
        qf.press(find(wizard, "push button", "Close"))
        prog.window_gone("Windows / UNIX conversion")

        prog.menu("File", "Properties")
        props = prog.window("Properties", role="dialog")
        qf.press(find(props, "page tab", "General"))
        find(props, "label", re.compile(r"\(18 bytes\)"), what="the script's size")
        qf.press(find(props, "page tab", "Preferences"))
        qf.press(find(props, "push button", "Create"))
        box = prog.window("Quillforge", role="alert")
        qf.press(find(box, "push button", "OK"))
        # The backup is of the script in the editor, which read the converted file again.
        expect(qf.read_file(script + "~") == b"print 1;\nprint 2;\n",
               f"the backup holds {qf.read_file(script + '~')!r}")
        qf.press(find(props, "push button", "Okay"))
        prog.window_gone("Properties")

        prog.menu("Help", "About")
        about = prog.window("About", role="dialog")
        qf.press(find(about, "push button", "Okay"))
        prog.window_gone("About")


def case_search(binary, home):
    """On a real Perl module: Go to line puts the caret where perl's line number points,
    Replace all changes every match at once, and Find in files lists the module's line with
    the number perl would give it."""
    folder = os.path.join(home, "proj")
    os.mkdir(folder)
    module = subprocess.run(["perl", "-MFile::Basename", "-e", "print $INC{'File/Basename.pm'}"],
                            capture_output=True, text=True).stdout
    if not module:
        raise Failure("perl cannot find File::Basename")
    shutil.copy(module, os.path.join(folder, "Basename.pm"))
    with open(module, "rb") as f:
        lines = f.read().decode("utf-8").split("\n")
    hit_line = next(n for n, line in enumerate(lines, 1) if "sub fileparse_set_fstype" in line)
    script = os.path.join(folder, "main.pl")
    source = "use strict;\nmy $name = 'x';\nprint $name;\nprint $name, \"\\n\";\n"
    write(script, source.encode())
    with start_past_wizard(binary, home, script) as prog:
        editor = editor_showing(prog, source)

        # Ctrl+G, as a user does: a menu item's accessible action would wait for the question.
        qf.focus(editor)
        qf.key("ctrl+g")
        ask = prog.window("Go to line", role="dialog")
        field = find(ask, "text", what="the line field of 'Go to line'")
        qf.focus(field)
        qf.type_text("3:7")
        qf.press(find(ask, "push button", "OK"))
        want = source.index("print $name;") + 6
        poll(lambda: qf.caret_of(editor) == want, qf.TIMEOUT,
             lambda: f"the caret at line 3 column 7 ({want}), not {qf.caret_of(editor)}")

        prog.menu("Search", "Find and replace")
        dialog = prog.window("Find text", role="dialog")
        what = find(find(dialog, "combo box", "Text to find:"), "text")
        qf.focus(what)
        qf.type_text("$name")
        into = find(find(dialog, "combo box", "Replace with:"), "text")
        qf.focus(into)
        qf.type_text("$who")
        qf.press(find(dialog, "push button", "Replace all"))
        changed = source.replace("$name", "$who")
        poll(lambda: qf.text_of(editor) == changed, qf.TIMEOUT,
             lambda: f"every $name replaced (the script holds {qf.text_of(editor)!r})")
        frame = prog.main_window()
        find(frame, "label", "Replaced 3 occurrences", what="the count in the status line")

        qf.press(find(dialog, "push button", "Close"))
        prog.window_gone("Find text")
        prog.menu("Search", "Find in files")
        dialog = prog.window("Find text", role="dialog")
        page = find(find(dialog, "combo box", "Text to find:"), "text",
                    what="the files page's text field")
        where = find(dialog, "text", "In folder:", what="the folder field")
        expect(qf.text_of(where) == folder,
               f"the folder offered is the script's ({folder}), not {qf.text_of(where)!r}")
        # The page puts the keyboard in its text field.
        poll(lambda: page.getState().contains(qf.pyatspi.STATE_FOCUSED), qf.TIMEOUT,
             "the keyboard in the files page's text field")
        qf.type_text("fileparse_set_fstype")
        qf.press(find(dialog, "push button", "Find"))
        entry = f"Basename.pm:{hit_line}:"
        item = find(frame, "list item", re.compile("^" + re.escape(entry)), showing=None,
                    what=f"a result naming {entry}")
        # Opening a hit is left to the widget test: Qt's list offers no accessible action
        # that activates a row, and a double click would need screen coordinates.
        expect(qf.name_of(item).endswith("sub fileparse_set_fstype {"),
               f"the hit shows its line's text: {qf.name_of(item)!r}")


def case_tidy(binary, home):
    """Project > Format with perltidy gives perltidy's own formatting, one Ctrl+Z takes it back,
    and Ctrl+Shift+K lists perlcritic's findings in the Perl output as "at FILE line N." lines."""
    if not (shutil.which("perltidy") and shutil.which("perlcritic")):
        print("SKIP: e2e tidy: perltidy or perlcritic is not installed (scripts/setup.sh)")
        raise SystemExit(SKIP)
    script = os.path.join(home, "messy.pl")
    messy = 'my %h=(a=>1);foreach my $k(keys %h){print "$k\\n";}\n'
    write(script, messy.encode())
    tidied = subprocess.run(["perltidy", "-st", script], cwd=home, capture_output=True,
                            check=True).stdout.decode()
    expect(tidied != messy, "perltidy leaves the messy script as it is")
    with start_past_wizard(binary, home, script) as prog:
        editor = editor_showing(prog, messy)
        prog.menu("Project", "Format with perltidy")
        poll(lambda: qf.text_of(editor) == tidied, qf.TIMEOUT,
             lambda: f"the editor to read perltidy's {tidied!r} (it reads {qf.text_of(editor)!r})")
        qf.focus(editor)
        qf.key("ctrl+z")
        poll(lambda: qf.text_of(editor) == messy, qf.TIMEOUT,
             lambda: f"one Ctrl+Z to bring back {messy!r} (the editor reads {qf.text_of(editor)!r})")

        output = panel_text(prog.main_window(), "Perl output")
        qf.key("ctrl+shift+k")
        finding = re.compile(r"^\[5 \S+\] .+ at " + re.escape(script) + r" line 1\.$", re.M)
        poll(lambda: finding.search(qf.text_of(output)), qf.TIMEOUT,
             lambda: f"a perlcritic finding in the Perl output (it shows {qf.text_of(output)!r})")
def case_disk(binary, home):
    """Another program changes an open script: the editor shows the new text; a replace by
    rename (as editors and git do) is followed too, and the tab is still unmarked."""
    script = os.path.join(home, "disk.pl")
    original = 'print "old\\n";\n'
    write(script, original.encode())
    with start_past_wizard(binary, home, script) as prog:
        editor_showing(prog, original)
        changed = 'print "changed by another program\\n";\n'
        write(script, changed.encode())
        editor_showing(prog, changed, "the editor after the file changed")
        replaced = 'print "renamed over\\n";\n'
        write(script + ".new", replaced.encode())
        os.rename(script + ".new", script)
        editor_showing(prog, replaced, "the editor after a file was renamed over the script")
        find(prog.main_window(), "page tab", "disk.pl", what="the unmarked tab of disk.pl")
def port_answers(port):
    with socket.socket() as s:
        s.settimeout(1)
        return s.connect_ex(("127.0.0.1", port)) == 0


def case_cgi(binary, home):
    """A CGI script with -T on its #! line that dies: "Run webserver", the script's address in
    the browser, and the CGI log under the page shows the script's die message and the 500."""
    if not shutil.which("lighttpd") and not os.path.exists("/usr/sbin/lighttpd"):
        print("SKIP: e2e cgi: lighttpd is not installed")
        return SKIP
    if port_answers(8080):
        print("SKIP: e2e cgi: something else serves 127.0.0.1:8080")
        return SKIP
    os.makedirs(os.path.join(home, "cgi-bin"), exist_ok=True)
    write(os.path.join(home, "cgi-bin", "broken.pl"),
          b'#!/usr/bin/perl -wT\nuse strict;\nopen(my $fh, "<", "/nonexistent/users.db")\n'
          b'    or die "Cannot open users.db: $!\\n";\n')
    # "Autorun webserver on startup": the toolbar's toggle offers no accessible click.
    os.makedirs(os.path.join(home, "etc"), exist_ok=True)
    write(os.path.join(home, "etc", "quillforge.cfg"), b"[Config]\nRunWebServer=1\n")
    pid_file = os.path.join(home, "etc", "webserver", "lighttpd.pid")
    try:
        with start_past_wizard(binary, home) as prog:
            frame = prog.main_window()
            poll(lambda: port_answers(8080), qf.TIMEOUT, "the web server to answer on 8080")
            expect(qf.is_checked(find(frame, None, "Run webserver")),
                   "the Run webserver button is not down while the server runs")
            qf.key("F1")  # the browser, on the help page
            def address_box():
                for combo in qf.find_all(frame, "combo box", showing=True):
                    for text in qf.find_all(combo, "text"):
                        if qf.text_of(text).endswith("help/index.html"):
                            return text
            box = poll(address_box, qf.TIMEOUT, "the browser's address box on the help page")
            box.queryEditableText().setTextContents("http://127.0.0.1:8080/cgi-bin/broken.pl")
            qf.press(find(frame, "push button", "Go to this address"))
            errors = find(frame, "text", "CGI errors", what="the CGI log under the page")
            want = "Cannot open users.db: No such file or directory"
            poll(lambda: want in qf.text_of(errors), qf.TIMEOUT,
                 lambda: f"the CGI log to show {want!r} (it shows {qf.text_of(errors)!r})")
            qf.press(find(frame, "page tab", "Requests"))
            requests = find(frame, "text", "CGI requests", what="the requests of the log")
            want = "GET /cgi-bin/broken.pl HTTP/1.1  ->  500 Internal Server Error"
            poll(lambda: want in qf.text_of(requests), qf.TIMEOUT,
                 lambda: f"the request log to show {want!r} (it shows {qf.text_of(requests)!r})")
            exit_program(prog)
    finally:
        if os.path.exists(pid_file):
            with open(pid_file) as f:
                os.kill(int(f.read().strip()), signal.SIGTERM)


CASES = {
    "startup": case_startup,
    "edit_save": case_edit_save,
    "run_output": case_run_output,
    "debug": case_debug,
    "errors": case_errors,
    "find": case_find,
    "options": case_options,
    "templates": case_templates,
    "tools": case_tools,
    "search": case_search,
    "tidy": case_tidy,
    "disk": case_disk,
    "cgi": case_cgi,
}


def main(argv):
    if len(argv) != 3 or argv[1] not in CASES:
        print(f"usage: {argv[0]} {{{'|'.join(CASES)}}} BINARY", file=sys.stderr)
        return 2
    name, binary = argv[1], os.path.abspath(argv[2])
    missing = qf.missing_prerequisites()
    if missing:
        print(f"SKIP: e2e {name}: this machine lacks {', '.join(missing)} "
              "(scripts/setup.sh installs them)")
        return SKIP
    if "QF_E2E_OUT" not in os.environ:
        # Each case gets a D-Bus session of its own, and with it an accessibility bus. The
        # buses and the services they start chatter on their output: only ours gets through.
        out = os.dup(1)
        env = dict(os.environ, QF_E2E_OUT=str(out))
        code = subprocess.run(["dbus-run-session", "--", sys.executable, *argv], env=env,
                              pass_fds=(out,), stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
        if code not in (0, 1, SKIP):
            print(f"FAIL: e2e {argv[1]}: dbus-run-session ended with exit code {code}")
            return 1
        return code
    out = int(os.environ.pop("QF_E2E_OUT"))
    os.dup2(out, 1)
    os.dup2(out, 2)
    os.close(out)

    home = qf.make_home()
    os.environ["HOME"] = home  # nothing lands in the real home of whoever runs the tests
    runtime = os.path.join(home, "runtime")
    os.mkdir(runtime, 0o700)
    os.environ["XDG_RUNTIME_DIR"] = runtime
    session = None
    try:
        session = qf.Session()
        CASES[name](binary, home)
    except Failure as e:
        print(f"FAIL: e2e {name}: {e}")
        return 1
    except Exception:
        print(f"FAIL: e2e {name}: unexpected error")
        traceback.print_exc(file=sys.stdout)
        return 1
    finally:
        if session:
            session.close()
        shutil.rmtree(home, ignore_errors=True)
    print(f"PASS: e2e {name}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
