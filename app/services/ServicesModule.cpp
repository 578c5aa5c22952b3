// The program's back-end services live in this folder.
