# SPDX-License-Identifier: MIT
"""A virtual pointer on a wlroots compositor (sway), spoken on the Wayland
socket directly, so tests can click native Wayland windows from outside.

Only the few requests a click needs: the registry, a bind of the virtual
pointer manager (zwlr_virtual_pointer_manager_v1), one pointer, absolute
motion and buttons. While the object lives the seat has a pointer, so
programs started after it get pointer events.
"""
import os
import socket
import struct

BTN_LEFT = 0x110
MANAGER = "zwlr_virtual_pointer_manager_v1"
# Request numbers: wl_display, the pointer.
DISPLAY_SYNC, DISPLAY_GET_REGISTRY = 0, 1
POINTER_MOTION_ABSOLUTE, POINTER_BUTTON, POINTER_FRAME = 1, 2, 4


class VirtualPointer:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.settimeout(10)
        self.sock.connect(os.path.join(os.environ["XDG_RUNTIME_DIR"],
                                       os.environ["WAYLAND_DISPLAY"]))
        self.next_id, self.buffer = 2, b""
        registry = self._new_id()
        self._send(1, DISPLAY_GET_REGISTRY, struct.pack("<I", registry))
        names = {}
        for obj, opcode, body in self._roundtrip():
            if obj == registry and opcode == 0:  # wl_registry.global: name, interface, version
                length = struct.unpack_from("<I", body, 4)[0]
                names[body[8:8 + length - 1].decode()] = struct.unpack_from("<I", body)[0]
        if MANAGER not in names:
            raise RuntimeError("the compositor offers no virtual pointer")
        manager = self._new_id()
        interface = MANAGER.encode() + b"\0"
        interface += b"\0" * (-len(interface) % 4)
        self._send(registry, 0, struct.pack("<II", names[MANAGER], len(MANAGER) + 1) + interface
                   + struct.pack("<II", 1, manager))  # wl_registry.bind
        self.pointer = self._new_id()
        self._send(manager, 0, struct.pack("<II", 0, self.pointer))  # create_virtual_pointer
        list(self._roundtrip())

    def _new_id(self):
        self.next_id += 1
        return self.next_id - 1

    def _send(self, obj, opcode, body=b""):
        self.sock.sendall(struct.pack("<II", obj, ((8 + len(body)) << 16) | opcode) + body)

    def _roundtrip(self):
        """Yields the events that come before the compositor has handled
        everything sent so far."""
        callback = self._new_id()
        self._send(1, DISPLAY_SYNC, struct.pack("<I", callback))
        while True:
            while len(self.buffer) < 8 or len(self.buffer) < struct.unpack_from(
                    "<I", self.buffer, 4)[0] >> 16:
                chunk = self.sock.recv(65536)
                if not chunk:
                    raise RuntimeError("the compositor closed the connection")
                self.buffer += chunk
            obj, word = struct.unpack_from("<II", self.buffer)
            body, self.buffer = self.buffer[8:word >> 16], self.buffer[word >> 16:]
            if obj == 1 and (word & 0xFFFF) == 0:
                raise RuntimeError("protocol error from the compositor: %r" % body)
            if obj == callback:
                return
            yield obj, word & 0xFFFF, body

    def click(self, x, y, button=BTN_LEFT):
        """Moves to (x, y) in the compositor's layout and clicks there."""
        self._send(self.pointer, POINTER_MOTION_ABSOLUTE,
                   struct.pack("<IIIII", 0, x, y, self.width, self.height))
        self._send(self.pointer, POINTER_FRAME)
        for state in (1, 0):
            self._send(self.pointer, POINTER_BUTTON, struct.pack("<III", 0, button, state))
            self._send(self.pointer, POINTER_FRAME)
        list(self._roundtrip())

    def close(self):
        self.sock.close()
