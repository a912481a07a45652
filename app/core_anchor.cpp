// Keeps the core library non-empty while subsystems are added.
