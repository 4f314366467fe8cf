#!/usr/bin/python3
"""The main job, done as a user does it, on the real program.

Starts the built program under Xvfb with openbox and a fresh home folder, and walks it through
the accessibility tree (AT-SPI), finding every button and field by its role and name; typing goes
through xdotool as real key presses. The walk: a customer, a product, VAT 15 %, the company with
invoice start number 57 and a logo, an invoice with 3 x 19.99 at 15 %, paid, then its printout
saved as PDF from the print preview. Then the book is read back with sqlite3 and the PDF with
pdftotext.

Usage: main_job.py PROGRAM   (the outer run starts the display and the D-Bus session itself)
Every wait polls; a step that does not happen in time fails with what was awaited.
"""
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time

STEP_TIMEOUT = float(os.environ.get("ZZ_E2E_TIMEOUT", "60"))


class Failure(Exception):
    pass


def log(text):
    print(text, flush=True)


def poll(probe, what, timeout=STEP_TIMEOUT):
    """Calls probe until it returns something true; fails after timeout seconds."""
    end = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            result = probe()
        except Exception as error:  # the tree changes under us while windows come and go
            result, last_error = None, error
        if result:
            return result
        if time.monotonic() > end:
            raise Failure("timed out waiting for %s%s" % (what, " (%s)" % last_error if last_error else ""))
        time.sleep(0.05)


# ----------------------------------------------------------------------------------------------
# The outer run: a display, a window manager, a home folder and a session bus.

def outer(program):
    for tool in ("Xvfb", "openbox", "xdotool", "dbus-run-session", "sqlite3", "pdftotext"):
        if not shutil.which(tool):
            raise Failure("%s is missing (scripts/setup installs it)" % tool)
    work = tempfile.mkdtemp(prefix="zz-e2e-")
    home = os.path.join(work, "home")
    runtime = os.path.join(work, "run")
    os.makedirs(home)
    os.makedirs(runtime, mode=0o700)
    children = []
    try:
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        children.append(xvfb)
        os.close(write_end)
        display = b""
        with os.fdopen(read_end, "rb") as pipe:
            display = pipe.readline().strip()
        if not display:
            raise Failure("Xvfb did not start")
        env = {k: v for k, v in os.environ.items() if not k.startswith(("XDG_", "DBUS_", "QT_", "LC_", "LANG"))}
        env.update(DISPLAY=":" + display.decode(), HOME=home, XDG_RUNTIME_DIR=runtime, LC_ALL="C.UTF-8",
                   LANG="C.UTF-8", ZZ_E2E_WORK=work)
        wm = subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        children.append(wm)
        poll(lambda: subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env, capture_output=True,
                                    text=True).stdout.count("window id"), "the window manager")
        inner = subprocess.run(["dbus-run-session", "--", sys.executable, os.path.abspath(__file__), "--inner", program],
                               env=env)
        return inner.returncode
    finally:
        for child in reversed(children):
            child.terminate()
            try:
                child.wait(timeout=10)
            except subprocess.TimeoutExpired:
                child.kill()
        if not os.environ.get("ZZ_E2E_KEEP"):
            shutil.rmtree(work, ignore_errors=True)
        else:
            log("kept " + work)


# ----------------------------------------------------------------------------------------------
# The inner run, inside the session bus: the program and the walk.

def inner(program):
    import pyatspi  # only here: it connects to the session's accessibility bus
    from gi.repository import GLib

    work = os.environ["ZZ_E2E_WORK"]
    home = os.environ["HOME"]
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    env.pop("ZZ_E2E_WORK")
    out = open(os.path.join(work, "program.log"), "w")
    proc = subprocess.Popen([program], env=env, stdout=out, stderr=subprocess.STDOUT)

    def program_alive():
        if proc.poll() is not None:
            raise Failure("the program ended with status %s:\n%s" % (proc.returncode, open(out.name).read()))

    def the_app():
        program_alive()
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.get_process_id() == proc.pid:
                return app
        return None

    app = poll(the_app, "the program on the accessibility bus")

    def showing(acc):
        return acc.getState().contains(pyatspi.STATE_SHOWING)

    def window(title):
        def probe():
            program_alive()
            for i in range(app.childCount):
                w = app.getChildAtIndex(i)
                if w is not None and w.name == title and showing(w):
                    return w
            return None
        return poll(probe, 'the window "%s"' % title)

    def window_with(title, button_name):
        """The showing window of that title that has that button (two windows share a title)."""
        def probe():
            program_alive()
            for i in range(app.childCount):
                w = app.getChildAtIndex(i)
                if w is not None and w.name == title and showing(w) and pyatspi.findDescendant(
                        w, lambda a: a is not None and a.getRole() == pyatspi.ROLE_PUSH_BUTTON
                        and a.name == button_name and showing(a)):
                    return w
            return None
        return poll(probe, 'the window "%s" with "%s"' % (title, button_name))

    def gone(title):
        def probe():
            program_alive()
            return not any(w is not None and w.name == title and showing(w)
                           for w in (app.getChildAtIndex(i) for i in range(app.childCount)))
        poll(probe, 'the window "%s" to close' % title)

    def find(root, role, name):
        def probe():
            program_alive()
            return pyatspi.findDescendant(root, lambda a: a is not None and a.getRole() == role and a.name == name
                                          and showing(a), breadth_first=True)
        return poll(probe, 'the %s "%s" in "%s"' % (role, name, root.name))

    def button(root, name):
        return find(root, pyatspi.ROLE_PUSH_BUTTON, name)

    def field(root, name, role=pyatspi.ROLE_TEXT):
        return find(root, role, name)

    def press(acc, opens_modal=False):
        """Presses a button through its action. Qt's own tool buttons answer a press only when
        what it started is done: for one that opens a modal window the answer cannot come in
        time, and the window that opens is what the walk awaits next."""
        poll(lambda: acc.getState().contains(pyatspi.STATE_ENABLED), '"%s" to be enabled' % acc.name)
        action = acc.queryAction()
        for i in range(action.nActions):
            if action.getName(i).lower() in ("press", "click"):
                try:
                    action.doAction(i)
                except GLib.GError as error:
                    if not opens_modal or "reply" not in str(error):
                        raise
                return
        raise Failure('"%s" cannot be pressed' % acc.name)

    def xdotool(*args):
        subprocess.run(["xdotool", *args], check=True)

    def focus(acc, title):
        def probe():
            if acc.getState().contains(pyatspi.STATE_FOCUSED):
                return True
            acc.queryComponent().grabFocus()
            if not acc.getState().contains(pyatspi.STATE_FOCUSED):
                # The window holds no keyboard focus yet: ask the window manager for it.
                subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % re.escape(title),
                                "windowactivate"], capture_output=True)
            return acc.getState().contains(pyatspi.STATE_FOCUSED)
        poll(probe, 'the focus in "%s"' % acc.name)

    def text_of(acc):
        t = acc.queryText()
        return t.getText(0, t.characterCount)

    def type_into(win, acc, text):
        focus(acc, win.name)
        xdotool("key", "--clearmodifiers", "ctrl+a", "BackSpace")
        xdotool("type", "--delay", "20", "--clearmodifiers", text)
        poll(lambda: text in text_of(acc), 'the text "%s" in "%s"' % (text, acc.name))

    def answer(title, button_name):
        box = window(title)
        press(button(box, button_name))
        gone(title)

    # -- the main window ------------------------------------------------------------------------
    main = window("Zuzevevur Creator")
    log("main window up")

    # -- administration: customer, product, VAT, company ---------------------------------------
    press(button(main, "Administration"))

    def new_row(section_button, list_title, dialog_title, values):
        """From the administration menu: the list window, New, the fields typed in, Save, Close."""
        press(button(window("Administration"), section_button))
        listing = window(list_title)
        press(button(listing, "New"))
        dialog = window(dialog_title)
        for name, text in values:
            type_into(dialog, field(dialog, name), text)
        press(button(dialog, "Save"))
        gone(dialog_title)
        press(button(listing, "Close"))
        gone(list_title)

    new_row("Customer", "Customer Administration", "New Customer",
            [("Customer Name", "Acme Ltd"), ("Phone Number", "021 555 0100")])
    log("customer saved")
    new_row("Product", "Product Administration", "New Product",
            [("Product Code", "W100"), ("Description", "Widget"), ("Unit Price", "19.99")])
    log("product saved")

    admin = window("Administration")
    press(button(admin, "VAT"))
    vat = window("VAT")
    type_into(vat, field(vat, "VAT %"), "15")
    press(button(vat, "Save"))
    gone("VAT")
    log("VAT saved")

    # A 2 x 2 bitmap, 24 bits a pixel, bottom-up rows padded to four bytes.
    logo = os.path.join(home, "logo.bmp")
    pixels = bytes([0, 0, 255, 0, 255, 0, 0, 0]) + bytes([255, 0, 0, 255, 255, 255, 0, 0])
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, 2, 2, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(logo, "wb") as f:
        f.write(header + info + pixels)

    admin = window("Administration")
    press(button(admin, "Company"))
    company = window("Company Administration")
    type_into(company, field(company, "Company Name"), "Zuzevevur Test Traders")
    type_into(company, field(company, "Address 1"), "1 Long Street")
    type_into(company, field(company, "Invoice Start No"), "57")
    press(button(company, "Choose the logo"))
    chooser = window("Open")
    name_field = poll(lambda: pyatspi.findDescendant(
        chooser, lambda a: a is not None and a.getRole() == pyatspi.ROLE_TEXT and showing(a)
        and a.getState().contains(pyatspi.STATE_EDITABLE) and "name" in a.name.lower()), "the file name field")
    type_into(chooser, name_field, logo)
    press(button(chooser, "Open"))
    gone("Open")
    press(button(company, "Save"))
    gone("Company Administration")
    log("company saved with its logo")

    admin = window("Administration")
    press(button(admin, "Close"))
    gone("Administration")

    # -- invoicing: the browser, the editor, the detail -----------------------------------------
    main = window("Zuzevevur Creator")
    press(button(main, "Invoicing"))
    invoicing = window("Invoicing")
    press(button(invoicing, "Invoices"))
    browser = window("Invoice Detail")
    find(browser, pyatspi.ROLE_TABLE, "Customers")
    press(button(browser, "New"))
    editor = window("New Invoice")
    type_into(editor, field(editor, "Order Number"), "PO-1")
    press(button(editor, "Create"))
    poll(lambda: button(editor, "Submit").getState().contains(pyatspi.STATE_ENABLED), "Submit to be enabled")
    units = field(editor, "Units", pyatspi.ROLE_SPIN_BUTTON)
    type_into(editor, units, "3")
    type_into(editor, field(editor, "Discount %"), "15")
    press(button(editor, "Submit"))
    lines = find(editor, pyatspi.ROLE_TABLE, "Invoice lines")
    poll(lambda: lines.queryTable().nRows == 1, "the line in the new invoice")
    press(button(editor, "Close"))
    gone("New Invoice")
    log("invoice created")

    browser = window_with("Invoice Detail", "Print...")
    invoices = find(browser, pyatspi.ROLE_TABLE, "Invoices")
    poll(lambda: invoices.queryTable().nRows == 1, "the invoice in the browser")
    press(button(browser, "Detail"))
    detail = window_with("Invoice Detail", "Pay")
    press(button(detail, "Pay"))
    answer("Confirm", "Yes")
    press(button(detail, "Close"))
    log("invoice paid")

    # -- the printout, saved as PDF -------------------------------------------------------------
    browser = window_with("Invoice Detail", "Print...")
    press(button(browser, "Print..."))

    def preview_window():
        program_alive()
        for i in range(app.childCount):
            w = app.getChildAtIndex(i)
            if w is not None and showing(w) and pyatspi.findDescendant(
                    w, lambda a: a is not None and a.getRole() == pyatspi.ROLE_PUSH_BUTTON and a.name == "PDF"):
                return w
        return None
    preview = poll(preview_window, "the print preview")
    press(button(preview, "PDF"), opens_modal=True)
    saver = window("Save as PDF")
    press(button(saver, "Save"))
    gone("Save as PDF")
    pdf = os.path.join(home, "Invoice 57.pdf")
    poll(lambda: os.path.isfile(pdf) and os.path.getsize(pdf) > 0, "the saved PDF " + pdf)
    press(button(preview, "Close"))
    log("printout saved as PDF")

    browser = window_with("Invoice Detail", "Print...")
    press(button(browser, "Close"))
    invoicing = window("Invoicing")
    press(button(invoicing, "Close"))
    main = window("Zuzevevur Creator")
    press(button(main, "Exit"))
    try:
        proc.wait(timeout=STEP_TIMEOUT)
    except subprocess.TimeoutExpired:
        raise Failure("the program did not end after Exit")
    if proc.returncode != 0:
        raise Failure("the program ended with status %s:\n%s" % (proc.returncode, open(out.name).read()))
    log("program ended")

    # -- what the book and the PDF hold ---------------------------------------------------------
    book = os.path.join(home, ".local/share/Zuzevevur/Zuzevevur.db")

    def sql(statement):
        return subprocess.run(["sqlite3", "-readonly", book, statement], check=True, capture_output=True,
                              text=True).stdout.strip()

    expect = [
        ("select Cus_Name from Customer", "Acme Ltd"),
        ("select Prod_Code || '|' || Prod_Description from Product", "W100|Widget"),
        ("select VAT_Percentage from VAT", "15"),
        ("select Com_Name || '|' || Inv_Start_No || '|' || (length(Com_Logo) > 0) from Company",
         "Zuzevevur Test Traders|58|1"),
        ("select Inv_Number || '|' || Inv_Order_No || '|' || (Inv_PayDate is not null) || '|' || Inv_Cancelled "
         "from Invoice", None),
        ("select count(*) from Line", "1"),
        ("select Inv_Number || '|' || Prod_Code || '|' || Line_Units || '|' || Line_Discount from Line",
         "57|W100|3|15"),
    ]
    problems = []
    for statement, wanted in expect:
        got = sql(statement)
        if wanted is not None and got not in (wanted, wanted + ".0"):
            problems.append("%s: %r, not %r" % (statement, got, wanted))
    invoice = sql("select Inv_Number, Inv_Order_No, Inv_PayDate is not null, Inv_Cancelled from Invoice").split("|")
    if invoice[:3] != ["57", "PO-1", "1"]:
        problems.append("the invoice row is %r" % invoice)
    price = sql("select Line_Price from Line")
    if abs(float(price) - 19.99) > 1e-9 and price != "1999":
        problems.append("the line's price is %r" % price)

    text = subprocess.run(["pdftotext", "-layout", pdf, "-"], check=True, capture_output=True, text=True).stdout
    # The totals: 19.99 less 15 % is 16.9915, three of them 50.9745 (50.97); VAT 15 % of that
    # 7.646175 (7.65); 58.620675 (58.62) in all. The amounts are in the currency the locale gives,
    # so only their digits are compared.
    patterns = {"Sub-Total": r"Sub-Total", "VAT": r"\bVAT\b", "Total": r"(?<![-\w])Total"}
    amounts = {}
    for label, pattern in patterns.items():
        m = re.search(r"^[^\n]*%s[^\n\d:]*?(\d[\d,. ]*\d)\s*$" % pattern, text, re.M)
        amounts[label] = m.group(1) if m else None
    for label, wanted in (("Sub-Total", "50.97"), ("VAT", "7.65"), ("Total", "58.62")):
        got = amounts[label]
        if got is None or re.sub(r"[^\d]", "", got) != wanted.replace(".", ""):
            problems.append("the printout's %s is %r, not %s" % (label, got, wanted))
    for wanted in ("Invoice", "57", "Acme Ltd", "Widget", "Zuzevevur Test Traders"):
        if wanted not in text:
            problems.append("the printout lacks %r" % wanted)
    if problems:
        raise Failure("\n".join(problems) + "\n--- the printout ---\n" + text)
    log("book and printout checked: Sub-Total %(Sub-Total)s, VAT %(VAT)s, Total %(Total)s" % amounts)
    return 0


if __name__ == "__main__":
    try:
        if len(sys.argv) == 3 and sys.argv[1] == "--inner":
            sys.exit(inner(sys.argv[2]))
        if len(sys.argv) != 2:
            print(__doc__)
            sys.exit(2)
        sys.exit(outer(os.path.abspath(sys.argv[1])))
    except Failure as failure:
        print("FAIL: %s" % failure, file=sys.stderr, flush=True)
        sys.exit(1)
