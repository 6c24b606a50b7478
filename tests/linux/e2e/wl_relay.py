"""A relay between Wayland clients and the real compositor, for the tests:
it passes every byte and file descriptor through as they come, and can cut
every link it carries, as a compositor that breaks a client's connection
(a protocol error, a crash) does. Clients connecting after a cut are relayed
again."""
import os
import selectors
import socket
import struct
import threading

MOST_FDS = 28  # libwayland sends at most this many with one message


class WaylandRelay:
    def __init__(self, path, compositor):
        self.compositor = compositor
        self.listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.listener.bind(path)
        self.listener.listen()
        self.selector = selectors.DefaultSelector()
        self.selector.register(self.listener, selectors.EVENT_READ)
        self.peers = {}  # each end of a link, to the other end or None
        self.upstreams = set()
        self.lock = threading.Lock()
        self.wake_r, self.wake_w = socket.socketpair()
        self.selector.register(self.wake_r, selectors.EVENT_READ)
        self.stopping = False
        self.thread = threading.Thread(target=self.run, daemon=True)
        self.thread.start()

    def cut(self):
        """Every link carried now is closed at both ends: first the
        compositor's, and the client's once the compositor has let go of
        everything that client had, as a compositor does with a client it
        disconnects."""
        with self.lock:
            clients = [self.peers[u] for u in self.upstreams]
            for upstream in list(self.upstreams):
                self.close_end(upstream)
            self.sync()
            for client in clients:
                self.close_end(client)

    def sync(self):
        """A round trip to the compositor on a connection of its own: it
        answers once it has handled everything that happened before."""
        with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as s:
            s.connect(self.compositor)
            # wl_display@1.sync(new id 2): object, size << 16 | opcode, id.
            s.sendall(struct.pack("<III", 1, 12 << 16 | 0, 2))
            buffered = b""
            while True:
                while len(buffered) >= 8:
                    sender, size = struct.unpack("<II", buffered[:8])
                    if len(buffered) < size >> 16:
                        break
                    if sender == 2:  # wl_callback@2.done
                        return
                    buffered = buffered[size >> 16:]
                chunk = s.recv(4096)
                if not chunk:
                    raise ConnectionError("the compositor closed the round trip")
                buffered += chunk

    def close(self):
        self.stopping = True
        self.wake_w.send(b"x")
        self.thread.join()
        with self.lock:
            for end in list(self.peers):
                self.close_end(end)
        self.listener.close()

    def close_end(self, end):
        """One end closed; its peer no longer has one."""
        peer = self.peers.pop(end)
        if self.peers.get(peer) is end:
            self.peers[peer] = None
        self.upstreams.discard(end)
        self.selector.unregister(end)
        end.close()

    def drop(self, end):
        """A link closed at both ends."""
        peer = self.peers.get(end)
        self.close_end(end)
        if peer in self.peers:
            self.close_end(peer)

    def run(self):
        while not self.stopping:
            for key, _ in self.selector.select():
                with self.lock:
                    self.serve(key.fileobj)

    def serve(self, ready):
        if ready is self.wake_r:
            ready.recv(1)
        elif ready is self.listener:
            client, _ = self.listener.accept()
            upstream = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
            upstream.connect(self.compositor)
            self.peers.update({client: upstream, upstream: client})
            self.upstreams.add(upstream)
            for s in (client, upstream):
                self.selector.register(s, selectors.EVENT_READ)
        elif ready in self.peers:
            try:
                data, fds, _, _ = socket.recv_fds(ready, 65536, MOST_FDS)
            except OSError:
                data = b""
            if not data:
                self.drop(ready)
                return
            try:
                socket.send_fds(self.peers[ready], [data], fds)
            except (OSError, TypeError):
                self.drop(ready)
            for fd in fds:
                os.close(fd)
