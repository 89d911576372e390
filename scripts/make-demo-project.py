#!/usr/bin/env python3
"""Makes the demo project: three indoor units with group addresses on their main signals.

usage: make-demo-project.py TEMPLATES_DIR PROJECT_DIR

The signal table is built from the shipped one-device template: its rows are repeated for
devices 2 and 3 (the controller status row exists once) and a few signals get addresses.
Files are Windows-1252 with CR LF, as the tool writes them.
"""
import os
import sys

PROTOCOL = "ZTR001-PACKAGED"
DEVICES = 3
# signal code -> middle group; the address is device/middle/device (status row: 1/4/1)
SELECTED = {0: 0, 1: 1, 3: 3, 6: 6, 7: 7, 101: 5}


def main():
    templates, project = sys.argv[1], sys.argv[2]
    os.makedirs(project, exist_ok=True)
    with open(os.path.join(templates, PROTOCOL + ".dat"), "rb") as f:
        lines = f.read().decode("cp1252").split("\r\n")
    header, rows = lines[:4], [l for l in lines[4:] if l]
    out = list(header)
    number = 0
    for device in range(1, DEVICES + 1):
        for row in rows:
            cells = row.split("\t")
            code = int(cells[2].split("-")[0].strip())
            if code == 100 and device > 1:
                continue
            number += 1
            cells[0], cells[1] = str(number), str(device)
            if code in SELECTED or (code == 100 and device == 1):
                cells[5] = f"{device}/{SELECTED.get(code, 4)}/{device}"
                cells[11] = "1 - Yes"
            out.append("\t".join(cells))
    with open(os.path.join(project, PROTOCOL + ".dat"), "wb") as f:
        f.write(("\r\n".join(out) + "\r\n").encode("cp1252"))

    settings = [f"[{PROTOCOL}]", "IP=192.168.0.1", "NetMask=255.255.255.0", "Gateway=",
                "TmPolling_ms=1000", "IPTRBAS=192.168.0.2", "PortTRBAS=502", f"Devices={DEVICES}"]
    for n in range(1, DEVICES + 1):
        settings += [f"D{n}-Active=1", f"D{n}-Sys={n // 64}", f"D{n}-Uni={n % 64}", f"D{n}-Name=Room {n}"]
    settings += ["", "[EIB]", "PhyAdd=15.15.255", "UpdateOnResetoErrEIB=0", "tS_DelayUpdateBus=4"]
    with open(os.path.join(project, PROTOCOL + ".ini"), "wb") as f:
        f.write(("\r\n".join(settings) + "\r\n").encode("cp1252"))
    with open(os.path.join(project, "Project.ini"), "wb") as f:
        f.write(f"[Project]\r\nDesc=Demo: three indoor units on the simulator\r\nProt={PROTOCOL}\r\n".encode("cp1252"))


if __name__ == "__main__":
    main()
