#!/usr/bin/env python3
"""Shows a screenshot-like picture over the whole X screen until killed: windows with title bars, lines of
text, flat panels, gradients and a few photo-like areas. Seeded, so every run shows the same picture."""
import random
import tkinter

root = tkinter.Tk()
width, height = root.winfo_screenwidth(), root.winfo_screenheight()
root.overrideredirect(True)
root.geometry(f"{width}x{height}+0+0")
canvas = tkinter.Canvas(root, width=width, height=height, highlightthickness=0, bg="#2e3440")
canvas.pack()
rng = random.Random(7)
words = ("capture region window image editor file save open view zoom undo redo filter colour level "
         "settings export clipboard desktop toolbar status project build test release notes").split()

# A desktop gradient.
for y in range(0, height, 4):
    shade = 40 + y * 60 // height
    canvas.create_rectangle(0, y, width, y + 4, fill=f"#{shade:02x}{shade + 10:02x}{shade + 30:02x}", width=0)

# Windows with title bars, text and panels.
for _ in range(max(6, width * height // 250000)):
    w, h = rng.randint(width // 5, width // 2), rng.randint(height // 5, height // 2)
    x, y = rng.randint(0, width - w), rng.randint(0, height - h)
    canvas.create_rectangle(x, y, x + w, y + h, fill="#f4f4f4", outline="#888888")
    canvas.create_rectangle(x, y, x + w, y + 28, fill="#3b6ea5", width=0)
    canvas.create_text(x + 10, y + 14, anchor="w", fill="white", font=("DejaVu Sans", 11, "bold"),
                       text=" ".join(rng.choice(words) for _ in range(3)).title())
    canvas.create_rectangle(x, y + 28, x + 160, y + h, fill="#e2e6ea", width=0)
    for line, ty in enumerate(range(y + 44, y + h - 12, 18)):
        canvas.create_text(x + 12, ty, anchor="w", fill="#333333", font=("DejaVu Sans", 9),
                           text=rng.choice(words).title())
        canvas.create_text(x + 172, ty, anchor="w", fill="#111111", font=("DejaVu Sans", 10),
                           text=" ".join(rng.choice(words) for _ in range(rng.randint(4, 14))))
    # A photo-like block: smooth colour bands.
    if rng.random() < 0.5 and w > 400 and h > 250:
        px, py = x + w - 220, y + 40
        for band in range(0, 180, 3):
            r, g = 80 + band // 2, 120 + (band * 3) % 100
            canvas.create_rectangle(px, py + band, px + 200, py + band + 3, fill=f"#{r:02x}{g:02x}a0", width=0)

# A task bar.
canvas.create_rectangle(0, height - 36, width, height, fill="#1f2329", width=0)
for i in range(12):
    canvas.create_rectangle(8 + i * 44, height - 30, 40 + i * 44, height - 6, fill="#4c566a", width=0)
root.mainloop()
