SELECT class, seatrow, name, score, note FROM students ORDER BY class, seatrow, name
