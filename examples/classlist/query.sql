SELECT s.class, s.seatrow, s.name, s.score, s.note, p.picture AS photo FROM students s LEFT JOIN photos p ON p.id = s.photo ORDER BY s.class, s.seatrow, s.name
