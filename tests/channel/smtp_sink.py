# An SMTP relay for the tests: listens on a free loopback port (printed as the first line), takes every
# message and writes who it was for, its subject, its date and its text to FOLDER/N.txt once the whole of it
# is in.
import asyncio
import email
import email.policy
import os
import sys

from aiosmtpd.smtp import SMTP


class Keep:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        message = email.message_from_bytes(envelope.original_content, policy=email.policy.default)
        self.count += 1
        path = os.path.join(self.folder, "%d.txt" % self.count)
        with open(path + ".part", "w", encoding="utf-8") as out:
            out.write("To: %s\nSubject: %s\nDate: %s\n\n%s" % (",".join(envelope.rcpt_tos), message["Subject"],
                                                               message["Date"], message.get_content()))
        os.rename(path + ".part", path)
        return "250 OK"


async def main(folder):
    keep = Keep(folder)
    server = await asyncio.get_running_loop().create_server(lambda: SMTP(keep), "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    await server.serve_forever()


asyncio.run(main(sys.argv[1]))
