#!/usr/bin/python3
"""Local FTP server for the network tests: user "jex"/"zub" with an upload folder.

Usage: ftp_server.py FOLDER. Listens on 127.0.0.1 at a free port and prints that port.
"""
import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    logging.basicConfig(level=logging.WARNING)
    authorizer = DummyAuthorizer()
    authorizer.add_user("jex", "zub", sys.argv[1], perm="elradfmw")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.permit_foreign_addresses = False
    handler.banner = "pictorel test server ready"
    server = FTPServer(("127.0.0.1", 0), handler)
    print(server.address[1], flush=True)
    server.serve_forever(handle_exit=True)


if __name__ == "__main__":
    main()
