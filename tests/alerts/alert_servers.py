"""Loopback servers for the alert transport tests.

Each mode listens on 127.0.0.1 on a port the system picks, prints that port
on a line of its own and serves until it is killed:

  smtp OUTDIR [USER PASSWORD]  stores each mail as OUTDIR/mail-N.eml and a
                               summary OUTDIR/mail-N.txt ("key=value" lines,
                               byte values in hex), attachments as
                               OUTDIR/mail-N-att-K.bin; with a user, AUTH is
                               required
  ftp ROOT [USER PASSWORD]     an FTP server with ROOT as home (anonymous
                               without a user); appends each command word
                               it receives to ROOT.commands
  silent                       accepts connections and never answers
  proxy LOGFILE                an HTTP CONNECT proxy to 127.0.0.1 targets;
                               appends each request head to LOGFILE
Run with Debian's /usr/bin/python3 (python3-aiosmtpd, python3-pyftpdlib).
"""

import asyncio
import logging
import os
import sys
import warnings

# AUTH over plain text is what the tests want; keep the servers quiet.
warnings.filterwarnings("ignore")
logging.basicConfig(level=logging.ERROR)


def announce(port):
    sys.stdout.write("%d\n" % port)
    sys.stdout.flush()


def write_atomically(path, data):
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


def summarise(raw, outdir, n):
    import email
    from email.header import decode_header
    from email import policy

    msg = email.message_from_bytes(raw, policy=policy.compat32)
    lines = []
    for name in ("From", "To", "Subject", "Date", "Message-ID", "X-Priority", "MIME-Version"):
        value = msg.get(name)
        lines.append("header:%s=%s" % (name, "" if value is None else str(value)))
    subject = b""
    charsets = []
    for part, charset in decode_header(msg.get("Subject", "")):
        subject += part if isinstance(part, bytes) else part.encode("ascii")
        charsets.append(charset or "")
    lines.append("subject_hex=" + subject.hex())
    lines.append("subject_charsets=" + ",".join(charsets))
    lines.append("content_type=" + msg.get_content_type())
    attachments = 0
    for part in msg.walk():
        if part.is_multipart():
            continue
        filename = part.get_filename()
        payload = part.get_payload(decode=True) or b""
        if filename is None:
            lines.append("text_type=" + part.get("Content-Type", ""))
            lines.append("text_charset=" + (part.get_content_charset() or ""))
            lines.append("text_hex=" + payload.hex())
            continue
        lines.append("attachment:%d:filename=%s" % (attachments, filename))
        lines.append("attachment:%d:type=%s" % (attachments, part.get_content_type()))
        lines.append("attachment:%d:encoding=%s"
                     % (attachments, part.get("Content-Transfer-Encoding", "")))
        write_atomically(os.path.join(outdir, "mail-%d-att-%d.bin" % (n, attachments)), payload)
        attachments += 1
    lines.append("attachments=%d" % attachments)
    return ("\n".join(lines) + "\n").encode("utf-8", "surrogateescape")


def run_smtp(outdir, user=None, password=None):
    from aiosmtpd.smtp import SMTP, AuthResult

    class Handler:
        count = 0

        async def handle_DATA(self, server, session, envelope):
            Handler.count += 1
            n = Handler.count
            raw = envelope.original_content or envelope.content
            if isinstance(raw, str):
                raw = raw.encode("utf-8", "surrogateescape")
            write_atomically(os.path.join(outdir, "mail-%d.eml" % n), raw)
            head = ("envelope_from=%s\n" % envelope.mail_from
                    + "".join("envelope_rcpt=%s\n" % r for r in envelope.rcpt_tos)).encode()
            write_atomically(os.path.join(outdir, "mail-%d.txt" % n),
                             head + summarise(raw, outdir, n))
            return "250 OK"

    def authenticator(server, session, envelope, mechanism, auth_data):
        ok = (auth_data.login == user.encode() and auth_data.password == password.encode())
        # A refusal must be handled=False, or the server never answers.
        return AuthResult(success=True) if ok else AuthResult(success=False, handled=False)

    def factory():
        if user is None:
            return SMTP(Handler(), decode_data=False)
        return SMTP(Handler(), decode_data=False, authenticator=authenticator,
                    auth_required=True, auth_require_tls=False)

    async def main():
        server = await asyncio.get_running_loop().create_server(factory, "127.0.0.1", 0)
        announce(server.sockets[0].getsockname()[1])
        await server.serve_forever()

    asyncio.run(main())


def run_ftp(root, user=None, password=None):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer

    authorizer = DummyAuthorizer()
    if user is None:
        authorizer.add_anonymous(root, perm="elradfmw")
    else:
        authorizer.add_user(user, password, root, perm="elradfmw")

    command_log = root.rstrip("/") + ".commands"

    class Handler(FTPHandler):
        def pre_process_command(self, line, cmd, arg):
            with open(command_log, "a") as f:
                f.write((cmd + " " + arg if cmd == "TYPE" else cmd) + "\n")
            return super().pre_process_command(line, cmd, arg)

    Handler.authorizer = authorizer
    Handler.auth_failed_timeout = 0
    server = FTPServer(("127.0.0.1", 0), Handler)
    announce(server.address[1])
    server.serve_forever()


def run_silent():
    held = []

    async def hold(reader, writer):
        held.append(writer)
        await asyncio.Event().wait()

    async def main():
        server = await asyncio.start_server(hold, "127.0.0.1", 0)
        announce(server.sockets[0].getsockname()[1])
        await server.serve_forever()

    asyncio.run(main())


def run_proxy(logfile):
    async def pipe(reader, writer):
        try:
            while True:
                data = await reader.read(65536)
                if not data:
                    break
                writer.write(data)
                await writer.drain()
        except (ConnectionError, asyncio.CancelledError):
            pass
        finally:
            writer.close()

    async def serve(reader, writer):
        head = await reader.readuntil(b"\r\n\r\n")
        with open(logfile, "ab") as f:
            f.write(head)
        request = head.split(b"\r\n", 1)[0].split()
        host, _, port = request[1].rpartition(b":") if len(request) == 3 else (b"", b"", b"")
        if request[:1] != [b"CONNECT"] or host != b"127.0.0.1":
            writer.write(b"HTTP/1.1 403 Forbidden\r\n\r\n")
            writer.close()
            return
        try:
            up_reader, up_writer = await asyncio.open_connection("127.0.0.1", int(port))
        except OSError:
            writer.write(b"HTTP/1.1 502 Bad Gateway\r\n\r\n")
            writer.close()
            return
        writer.write(b"HTTP/1.1 200 Connection established\r\n\r\n")
        await writer.drain()
        await asyncio.gather(pipe(reader, up_writer), pipe(up_reader, writer))

    async def main():
        server = await asyncio.start_server(serve, "127.0.0.1", 0)
        announce(server.sockets[0].getsockname()[1])
        await server.serve_forever()

    asyncio.run(main())


def main(argv):
    mode, args = argv[1], argv[2:]
    if mode == "smtp":
        run_smtp(*args)
    elif mode == "ftp":
        run_ftp(*args)
    elif mode == "silent":
        run_silent()
    elif mode == "proxy":
        run_proxy(*args)
    else:
        sys.exit("unknown mode " + mode)


if __name__ == "__main__":
    main(sys.argv)
