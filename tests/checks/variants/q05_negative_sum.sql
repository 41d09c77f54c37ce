-- More taken out than comes in.
-- expect: Q05
-- level: 2
UPDATE tbl_rvldaten SET Q = -300 WHERE bez = 'Q2';
