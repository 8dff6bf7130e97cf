"""The emulators as the namespace tests reach them: their admin port."""
import socket


def admin(address, text):
    """A text command to an emulator's admin port ("set ...", "reset", "state ...", "stats")."""
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        s.settimeout(1.0)
        s.sendto(text.encode(), (address, 3999))
        return s.recv(4096).decode()


def state(address, what):
    """An emulator's answer to "state WHAT" as a dictionary of its key=value words."""
    return dict(w.split("=", 1) for w in admin(address, "state " + what).split() if "=" in w)
